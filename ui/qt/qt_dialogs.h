#pragma once

#include <QDialog>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "ui/dialogs.h"

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
 * The QFileDialog name filter of a save whose file type follows the name (addFilterExtension):
 * "*.svg" as "*.svg *.SVG", so that the dialog lists the names of that type in either case and,
 * when the user picks the filter, puts its extension on the name typed (from the first pattern).
 * Other patterns as nameFilter gives them.
 */
QString typeNameFilter(const FileFilter& filter);

/**
 * The program's modal dialogs as Qt dialogs, centred on and blocking the owner window.
 *
 * showModal shows a form in a modal QDialog, one kept for each layout (by the layout's name, built
 * the first time a form of it is shown, so that it opens again where the user left it). For as long
 * as the modal loop runs, a QtFormWindow over the form fills the dialog and the form's
 * onVisibilityChanged ends the loop when the form is hidden. When showModal returns, both are
 * undone: nothing here refers to the form any more, so the form need only outlive the call.
 * Closing the dialog with its window's close control (or Escape) hides the form too, so to the
 * program it looks the same as the form's own way of closing.
 */
class QtDialogs : public Dialogs {
 public:
  /** owner may be nullptr, and may be set later. */
  explicit QtDialogs(QWidget* owner = nullptr) : owner_(owner) {}
  ~QtDialogs() override;
  QtDialogs(const QtDialogs&) = delete;
  QtDialogs& operator=(const QtDialogs&) = delete;

  void setOwner(QWidget* owner) { owner_ = owner; }
  /**
   * The next open-file dialog is not shown: it returns path at once, as if the user had chosen
   * it. For files named when the program starts, so that they load exactly as chosen ones do.
   */
  void answerNextOpen(std::string path) { nextOpenAnswer_ = std::move(path); }

  /** Starts in the folder last used (lastFolder) and remembers the folder of the file chosen. */
  std::optional<std::string> openFile(std::string_view title,
                                      const std::vector<FileFilter>& filters,
                                      int selectedFilter) override;
  std::optional<std::string> inputBox(std::string_view prompt, std::string_view title,
                                      std::string_view defaultText) override;
  using Dialogs::messageBox;
  /** Over the modal dialog open at the time, if any, otherwise over the owner. */
  void messageBox(std::string_view text, std::string_view reason) override;
  /** On standard error, where the program's other diagnostics go. */
  void reportReason(std::string_view reason) override;
  /** The application's wait cursor, over every window, until endBusy. */
  void beginBusy() override;
  void endBusy() override;
  void showModal(Form& window) override;
  /**
   * Starts in the folder last used and remembers the folder of the file chosen; asks before
   * replacing, naming every file the command writes.
   */
  std::optional<std::string> saveFile(const SaveRequest& request) override;
  /** A dialog of the fields with OK and Cancel; a refusal shows its message over the form. */
  std::optional<std::vector<FormField>> showForm(const FormRequest& request) override;
  /** A table view with its picture and summary; "Copy", "Export CSV...", the actions, "Close". */
  std::optional<std::string> showTable(const TableRequest& request) override;

  /** The dialog kept for form's layout, or nullptr before a form of it was first shown. */
  QDialog* modalDialog(const Form& form) const;

 private:
  /** The dialog kept for form's layout, built on first use. */
  QDialog& dialogFor(const Form& form);

  QPointer<QWidget> owner_;
  std::map<std::string, QPointer<QDialog>, std::less<>> dialogs_;
  std::optional<std::string> nextOpenAnswer_;
};

}  // namespace halvic::ui
