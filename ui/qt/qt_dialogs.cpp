#include "ui/qt/qt_dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <cstdio>
#include <functional>
#include <utility>

#include "ui/qt/qt_form_window.h"
#include "ui/qt/qt_look.h"
#include "ui/qt/qt_settings.h"

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

/**
 * One run of a form in its modal dialog: a window over the form inside the dialog, and a hook on
 * the form that ends the dialog's loop when the form is hidden. Both go when this object does.
 */
class ModalSession {
 public:
  ModalSession(Form& form, QDialog& dialog)
      : form_(form),
        previousCallback_(form.onVisibilityChanged),
        content_(new QtFormWindow(form, nullptr, {}, &dialog)) {
    dialog.setWindowTitle(content_->windowTitle());
    dialog.setFixedSize(content_->size());
    form.onVisibilityChanged = [previous = previousCallback_,
                                shownIn = QPointer<QDialog>(&dialog)](bool visible) {
      if (previous) {
        previous(visible);
      }
      if (!visible && shownIn) {
        shownIn->done(QDialog::Accepted);
      }
    };
  }

  ~ModalSession() {
    form_.onVisibilityChanged = std::move(previousCallback_);
    delete content_.data();  // already gone if the dialog was deleted during the loop
  }

  ModalSession(const ModalSession&) = delete;
  ModalSession& operator=(const ModalSession&) = delete;

 private:
  Form& form_;
  std::function<void(bool)> previousCallback_;
  QPointer<QtFormWindow> content_;
};

}  // namespace

QString nameFilter(const FileFilter& filter) {
  // The dialog hides the last bracketed group (HideNameFilterDetails) and matches by it, so the
  // description shows as it is written, its own "(*.*)" included.
  return shownText(filter.description) + QStringLiteral(" (") + toQtPattern(filter.pattern) +
         QLatin1Char(')');
}

QString typeNameFilter(const FileFilter& filter) {
  const QString pattern = shownText(filter.pattern);
  if (!pattern.startsWith(QStringLiteral("*.")) || pattern == QStringLiteral("*.*")) {
    return nameFilter(filter);
  }
  return shownText(filter.description) + QStringLiteral(" (") + pattern.toLower() +
         QLatin1Char(' ') + pattern.toUpper() + QLatin1Char(')');
}

QtDialogs::~QtDialogs() {
  for (const auto& [name, dialog] : dialogs_) {
    delete dialog.data();  // already gone if the owner was deleted first
  }
}

std::optional<std::string> QtDialogs::openFile(std::string_view title,
                                               const std::vector<FileFilter>& filters,
                                               int selectedFilter) {
  if (nextOpenAnswer_) {
    return std::exchange(nextOpenAnswer_, std::nullopt);
  }
  QFileDialog dialog(owner_, shownText(title), lastFolder());
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
  const QString path = dialog.selectedFiles().constFirst();
  rememberFolderOf(path);
  return QFile::encodeName(path).toStdString();
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

// A message shown while a modal dialog is open (a refusal of the contrast dialog's boxes) stays
// over that dialog, which is the window the user is looking at.
void QtDialogs::reportReason(std::string_view reason) {
  std::fprintf(stderr, "reason: %.*s\n", static_cast<int>(reason.size()), reason.data());
}

void QtDialogs::beginBusy() { QApplication::setOverrideCursor(Qt::WaitCursor); }

void QtDialogs::endBusy() { QApplication::restoreOverrideCursor(); }

void QtDialogs::messageBox(std::string_view text, std::string_view reason) {
  QWidget* modal = QApplication::activeModalWidget();
  QMessageBox box(QMessageBox::NoIcon, QString::fromLatin1(kApplicationTitle), shownText(text),
                  QMessageBox::Ok, modal != nullptr ? modal : owner_.data());
  box.setTextFormat(Qt::PlainText);
  if (!reason.empty()) {
    box.setDetailedText(shownText(reason));
  }
  box.exec();
}

QDialog& QtDialogs::dialogFor(const Form& form) {
  QPointer<QDialog>& dialog = dialogs_[std::string(form.spec().name)];
  if (!dialog) {
    // A child of the owner so that it stays above it; the owner deletes it if it goes first.
    dialog = new QDialog(owner_);
  }
  return *dialog;
}

void QtDialogs::showModal(Form& window) {
  QDialog& dialog = dialogFor(window);
  const ModalSession session(window, dialog);
  window.show();
  if (window.visible()) {
    dialog.exec();
  }
  if (window.visible()) {
    window.hide();  // closed by the window's close control or Escape
  }
}

QDialog* QtDialogs::modalDialog(const Form& form) const {
  const auto found = dialogs_.find(form.spec().name);
  return found == dialogs_.end() ? nullptr : found->second.data();
}

}  // namespace halvic::ui
