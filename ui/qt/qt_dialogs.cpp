#include "ui/qt/qt_dialogs.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

#include "ui/qt/qt_look.h"

namespace halvic::ui {

namespace {

/** "*.KR4" as "*.[kK][rR]4": the same names in any case. */
QString caseBlindPattern(const QString& pattern) {
  QString result;
  for (const QChar character : pattern) {
    if (character.isLetter() && character.toLower() != character.toUpper()) {
      result += QLatin1Char('[');
      result += character.toLower();
      result += character.toUpper();
      result += QLatin1Char(']');
    } else {
      result += character;
    }
  }
  return result;
}

QString toQtPattern(std::string_view pattern) {
  const QString text = shownText(pattern);
  return text == QStringLiteral("*.*") ? QStringLiteral("*") : caseBlindPattern(text);
}

}  // namespace

QString nameFilter(const FileFilter& filter) {
  // The dialog hides the last bracketed group (HideNameFilterDetails) and matches by it, so the
  // description shows as it is written, its own "(*.*)" included.
  return shownText(filter.description) + QStringLiteral(" (") + toQtPattern(filter.pattern) +
         QLatin1Char(')');
}

QtDialogs::~QtDialogs() {
  for (const auto& modal : modals_) {
    modal->form->onVisibilityChanged = std::move(modal->previousCallback);
    delete modal->dialog.data();  // deletes its window, which lets go of the form
  }
}

std::optional<std::string> QtDialogs::openFile(std::string_view title,
                                               const std::vector<FileFilter>& filters,
                                               int selectedFilter) {
  QFileDialog dialog(owner_, shownText(title));
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setOption(QFileDialog::HideNameFilterDetails);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::AnyFile);  // a typed name need not exist
  QStringList qtFilters;
  for (const FileFilter& filter : filters) {
    qtFilters << nameFilter(filter);
  }
  dialog.setNameFilters(qtFilters);
  if (selectedFilter >= 0 && selectedFilter < qtFilters.size()) {
    dialog.selectNameFilter(qtFilters[selectedFilter]);
  }
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
    return std::nullopt;
  }
  return QFile::encodeName(dialog.selectedFiles().constFirst()).toStdString();
}

std::optional<std::string> QtDialogs::inputBox(std::string_view prompt, std::string_view title,
                                               std::string_view defaultText) {
  QInputDialog dialog(owner_);
  dialog.setInputMode(QInputDialog::TextInput);
  dialog.setWindowTitle(title.empty() ? QString::fromLatin1(kApplicationTitle) : shownText(title));
  dialog.setLabelText(shownText(prompt));
  dialog.setTextValue(shownText(defaultText));
  if (dialog.exec() != QDialog::Accepted) {
    return std::nullopt;
  }
  return dialog.textValue().toStdString();
}

void QtDialogs::messageBox(std::string_view text, std::string_view reason) {
  QMessageBox box(QMessageBox::NoIcon, QString::fromLatin1(kApplicationTitle), shownText(text),
                  QMessageBox::Ok, owner_);
  box.setTextFormat(Qt::PlainText);
  if (!reason.empty()) {
    box.setDetailedText(shownText(reason));
  }
  box.exec();
}

QtDialogs::ModalWindow& QtDialogs::modalWindowFor(Form& form) {
  ModalWindow* modal = nullptr;
  for (const auto& known : modals_) {
    if (known->form == &form) {
      modal = known.get();
    }
  }
  if (modal == nullptr) {
    modals_.push_back(std::make_unique<ModalWindow>());
    modal = modals_.back().get();
    modal->form = &form;
    modal->previousCallback = form.onVisibilityChanged;
    form.onVisibilityChanged = [modal, previous = modal->previousCallback](bool visible) {
      if (previous) {
        previous(visible);
      }
      if (!visible && modal->dialog) {
        modal->dialog->done(QDialog::Accepted);
      }
    };
  }
  if (!modal->dialog) {
    // A child of the owner so that it stays above it; the owner deletes it if it goes first.
    auto* dialog = new QDialog(owner_);
    auto* content = new QtFormWindow(form, nullptr, {}, dialog);
    dialog->setWindowTitle(content->windowTitle());
    dialog->setFixedSize(content->size());
    modal->dialog = dialog;
  }
  return *modal;
}

void QtDialogs::showModal(Form& window) {
  QDialog* dialog = modalWindowFor(window).dialog;
  window.show();
  if (window.visible()) {
    dialog->exec();
  }
  if (window.visible()) {
    window.hide();  // closed by the window's close control or Escape
  }
}

QDialog* QtDialogs::modalDialog(const Form& form) const {
  for (const auto& modal : modals_) {
    if (modal->form == &form) {
      return modal->dialog;
    }
  }
  return nullptr;
}

}  // namespace halvic::ui
