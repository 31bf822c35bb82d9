// The save-file dialog and the forms of the desktop program.

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/qt/qt_dialogs.h"
#include "ui/qt/qt_look.h"
#include "ui/qt/qt_settings.h"

namespace halvic::ui {

namespace {

std::string fromQt(const QString& text) { return text.toUtf8().toStdString(); }

/** "Replace a.fits and a-pixels.fits?" for the files of that list that exist; empty if none. */
QString replaceQuestion(const std::vector<std::string>& files) {
  QStringList existing;
  for (const std::string& file : files) {
    const QFileInfo info(QString::fromStdString(file));
    if (info.exists()) {
      existing << info.fileName();
    }
  }
  if (existing.isEmpty()) {
    return {};
  }
  const QString last = existing.takeLast();
  const QString names = existing.isEmpty()
                            ? last
                            : existing.join(QStringLiteral(", ")) + QStringLiteral(" and ") + last;
  return QStringLiteral("Replace ") + names + QStringLiteral("?");
}

/**
 * The index of the filter the dialog has selected, in a save whose filters are typeNameFilter's
 * (the first when it cannot tell).
 */
size_t selectedFilter(const QFileDialog& dialog, const std::vector<FileFilter>& filters) {
  // Depending on HideNameFilterDetails, Qt names the filter as shown or in full.
  const QString selected = dialog.selectedNameFilter();
  for (size_t index = 0; index < filters.size(); ++index) {
    if (selected == shownText(filters[index].description) ||
        selected == typeNameFilter(filters[index])) {
      return index;
    }
  }
  return 0;
}

}  // namespace

std::optional<std::string> QtDialogs::saveFile(const SaveRequest& request) {
  QFileDialog dialog(owner_, shownText(request.title), lastFolder());
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setOption(QFileDialog::DontConfirmOverwrite);  // asked below, naming every file
  dialog.setOption(QFileDialog::HideNameFilterDetails);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  QStringList filters;
  for (const FileFilter& filter : request.filters) {
    filters << (request.addFilterExtension ? typeNameFilter(filter) : nameFilter(filter));
  }
  dialog.setNameFilters(filters);
  if (!request.suggestedName.empty()) {
    dialog.selectFile(shownText(request.suggestedName));
  }
  for (;;) {
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
      return std::nullopt;
    }
    std::string path = fromQt(dialog.selectedFiles().constFirst());
    if (request.addFilterExtension) {
      path = withFilterExtension(path, request.filters, selectedFilter(dialog, request.filters));
    }
    const QString question =
        replaceQuestion(request.filesWritten ? request.filesWritten(path) : std::vector{path});
    if (question.isEmpty() || QMessageBox::question(&dialog, QString::fromLatin1(kApplicationTitle),
                                                    question) == QMessageBox::Yes) {
      rememberFolderOf(QString::fromStdString(path));
      return path;
    }
  }
}

namespace {

/**
 * Keeps each check box that needs text fields enabled only while they hold something, and
 * unticked while disabled.
 */
void enableByNeeds(const std::vector<FormField>& fields, const std::vector<QWidget*>& editors) {
  const auto update = [fields, editors] {
    std::vector<FormField> now = fields;
    for (size_t index = 0; index < now.size(); ++index) {
      if (auto* line = qobject_cast<QLineEdit*>(editors[index])) {
        now[index].value = fromQt(line->text());
      }
    }
    for (size_t index = 0; index < now.size(); ++index) {
      auto* box = qobject_cast<QCheckBox*>(editors[index]);
      if (box != nullptr && !now[index].needs.empty()) {
        const bool enabled = fieldEnabled(now[index], now);
        box->setEnabled(enabled);
        if (!enabled) {
          box->setChecked(false);
        }
      }
    }
  };
  for (QWidget* editor : editors) {
    if (auto* line = qobject_cast<QLineEdit*>(editor)) {
      QObject::connect(line, &QLineEdit::textChanged, line, update);
    }
  }
  update();
}

}  // namespace

std::optional<std::vector<FormField>> QtDialogs::showForm(const FormRequest& request) {
  QDialog dialog(owner_);
  dialog.setWindowTitle(shownText(request.title));
  auto* layout = new QVBoxLayout(&dialog);
  if (!request.text.empty()) {
    auto* text = new QLabel(shownText(request.text), &dialog);
    text->setTextFormat(Qt::PlainText);
    layout->addWidget(text);
  }
  auto* fields = new QFormLayout;
  std::vector<QWidget*> editors;
  for (const FormField& field : request.fields) {
    QWidget* editor = nullptr;
    if (field.kind == FormField::Kind::Check) {
      auto* box = new QCheckBox(&dialog);
      box->setChecked(field.value == "1");
      editor = box;
    } else {
      editor = new QLineEdit(shownText(field.value), &dialog);
    }
    editor->setObjectName(QString::fromStdString(field.name));
    fields->addRow(shownText(field.label), editor);
    editors.push_back(editor);
  }
  layout->addLayout(fields);
  enableByNeeds(request.fields, editors);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  layout->addWidget(buttons);

  std::vector<FormField> taken = request.fields;
  const auto readFields = [&taken, &editors] {
    for (size_t index = 0; index < taken.size(); ++index) {
      if (auto* box = qobject_cast<QCheckBox*>(editors[index])) {
        taken[index].value.assign(1, box->isChecked() ? '1' : '0');
      } else {
        taken[index].value = fromQt(static_cast<QLineEdit*>(editors[index])->text());
      }
    }
  };
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, [&] {
    readFields();
    const std::optional<std::string> refusal =
        request.validate ? request.validate(taken) : std::nullopt;
    if (refusal) {
      QMessageBox box(QMessageBox::NoIcon, QString::fromLatin1(kApplicationTitle),
                      shownText(*refusal), QMessageBox::Ok, &dialog);
      box.exec();
      return;  // the form stays open for a correction
    }
    dialog.accept();
  });
  if (dialog.exec() != QDialog::Accepted) {
    return std::nullopt;
  }
  return taken;
}

}  // namespace halvic::ui
