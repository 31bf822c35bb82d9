#pragma once

#include <QDialog>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

#include "ui/dialogs.h"
#include "ui/qt/qt_form_window.h"

namespace halvic::ui {

/** The title of message boxes, and of input boxes whose title is empty. */
inline constexpr const char* kApplicationTitle = "Halvic";

/**
 * The text of one QFileDialog name filter: the description as shown, and the pattern as the user
 * means it: "*.*" matches every name, with or without a dot, and letters match either case, as
 * they do on the file systems the patterns were written for.
 */
QString nameFilter(const FileFilter& filter);

/**
 * The program's modal dialogs as Qt dialogs, centred on and blocking the owner window.
 *
 * showModal builds a QtFormWindow for a form the first time it is shown and keeps it, inside a
 * modal QDialog, for later calls. The dialog runs until the form is hidden. Closing the dialog with
 * its window's close control (or Escape) hides the form too, so to the program it looks the same
 * as the form's own way of closing. Every form shown must outlive this object.
 */
class QtDialogs : public Dialogs {
 public:
  /** owner may be nullptr, and may be set later. */
  explicit QtDialogs(QWidget* owner = nullptr) : owner_(owner) {}
  ~QtDialogs() override;
  QtDialogs(const QtDialogs&) = delete;
  QtDialogs& operator=(const QtDialogs&) = delete;

  void setOwner(QWidget* owner) { owner_ = owner; }

  std::optional<std::string> openFile(std::string_view title,
                                      const std::vector<FileFilter>& filters,
                                      int selectedFilter) override;
  std::optional<std::string> inputBox(std::string_view prompt, std::string_view title,
                                      std::string_view defaultText) override;
  using Dialogs::messageBox;
  void messageBox(std::string_view text, std::string_view reason) override;
  void showModal(Form& window) override;
  /** Starts in the folder last used; asks before replacing, naming every file the command writes.
   */
  std::optional<std::string> saveFile(const SaveRequest& request) override;
  /** A dialog of the fields with OK and Cancel; a refusal shows its message over the form. */
  std::optional<std::vector<FormField>> showForm(const FormRequest& request) override;
  /** A table view with its picture and summary; "Copy", "Export CSV...", the actions, "Close". */
  std::optional<std::string> showTable(const TableRequest& request) override;

  /** The dialog that shows form, or nullptr before the form's first showModal. */
  QDialog* modalDialog(const Form& form) const;

 private:
  struct ModalWindow {
    Form* form = nullptr;
    QPointer<QDialog> dialog;
    std::function<void(bool)> previousCallback;
  };

  ModalWindow& modalWindowFor(Form& form);

  QPointer<QWidget> owner_;
  std::vector<std::unique_ptr<ModalWindow>> modals_;
};

}  // namespace halvic::ui
