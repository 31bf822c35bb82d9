#pragma once

#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace halvic::ui {

class Form;
class Raster;

/**
 * Thrown by a Dialogs that has no answer to give (a scripted session whose script queued none):
 * not a fault of the program but the end of what the user said. Commands let it pass.
 */
class UnansweredDialog : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

/** One entry of an open-file dialog's filter list: "All Files (*.*)" with "*.*". */
struct FileFilter {
  std::string description;
  std::string pattern;
};

/** What a save-file dialog asks for. */
struct SaveRequest {
  std::string title;                // the dialog's title, the command's name
  std::vector<FileFilter> filters;  // the first is selected
  std::string suggestedName;        // the file name the dialog starts with, may be empty
  /**
   * Every file the command would write for a chosen path; the dialog asks before replacing any
   * of them that exists, naming them all. Unset: the chosen path alone.
   */
  std::function<std::vector<std::string>(const std::string& path)> filesWritten;
  /**
   * For a file whose type follows its name, each filter naming one extension ("*.png"): a chosen
   * name that ends in none of the filters' extensions gets the selected filter's
   * (withFilterExtension), before the dialog asks about replacing it. A scripted session selects
   * the first filter.
   */
  bool addFilterExtension = false;
};

/**
 * Whether the file name of path (what follows its last '/') is longer than extension and ends in
 * it, letters in either case: "Graph.PNG" has ".png", ".png" alone has not.
 */
bool hasExtension(std::string_view path, std::string_view extension);

/**
 * path as chosen when its file name ends in the extension of one of filters (letters in either
 * case, as the dialogs match them), or names no file (empty, or a folder alone: "out/");
 * otherwise path with the extension of filters[selected] added. A filter counts as naming an
 * extension when its pattern is "*." followed by letters and digits; path is kept as it is when
 * the selected filter names none.
 */
std::string withFilterExtension(std::string_view path, const std::vector<FileFilter>& filters,
                                size_t selected);

/** One field of a form: a text box, or a check box whose value is "0" or "1". */
struct FormField {
  enum class Kind { Text, Check };
  std::string name;   // the key it fills, by which scripted sessions set it
  std::string label;  // what the user reads beside it
  Kind kind = Kind::Text;
  std::string value;  // as shown when the form opens
  /**
   * A check box enabled only while every text field named here holds something; while disabled
   * it is unticked ("0").
   */
  std::vector<std::string> needs;
};

/** Whether the field's needs are met by the others' values (always, when it names none). */
bool fieldEnabled(const FormField& field, const std::vector<FormField>& fields);

/** A dialog of several fields with OK and Cancel. */
struct FormRequest {
  std::string title;
  std::string text;  // shown above the fields, may be empty
  std::vector<FormField> fields;
  /**
   * Called on OK with the fields as the user left them: nullopt takes them, a text refuses them
   * with that message, and the form stays open for a correction. Unset: everything is taken.
   */
  std::function<std::optional<std::string>(const std::vector<FormField>&)> validate;
};

/**
 * A dialog that shows a table of text cells with a summary and, optionally, a picture, and offers
 * actions besides closing it. The desktop backend also lets the user copy the table (tab-
 * separated) and export it as CSV; a scripted session writes each row to its transcript as
 * rowPrefix followed by the cells joined by " | ", then summaryPrefix and the summary cells alike.
 */
/** A line of figures under a table's summary, such as how many lines were found. */
struct TableFoot {
  std::vector<std::string> labels;  // what each cell is, for people
  std::vector<std::string> cells;
  std::string prefix;  // "check-lines: "
};

struct TableRequest {
  std::string title;
  std::string text;                  // shown above the table in a fixed-width font, may be empty
  std::vector<std::string> columns;  // the column headings
  std::vector<std::vector<std::string>> rows;  // one cell a column, as shown
  /** The same rows in full, for the CSV, the clipboard and a scripted session; empty: rows. */
  std::vector<std::vector<std::string>> fullRows;
  std::vector<std::string> summaryLabels;  // what each summary cell is, for people
  std::vector<std::string> summaryCells;
  std::vector<TableFoot> feet;       // under the summary, in order
  std::string note;                  // a line of text under the table, may be empty
  const Raster* picture = nullptr;   // shown under the table when set
  std::vector<std::string> actions;  // buttons besides the closing one, such as "Refine..."
  std::string closeLabel = "Close";  // the button that closes the table with no action
  /** The action the Enter key takes, if any; none: closing is the default. */
  std::optional<size_t> defaultAction;
  bool actionsEnabled = true;
  /**
   * When set, a scripted session answers the table with a form of this one check box (1: the
   * first action), queued as any form; its start value says whether that action is the default.
   */
  std::string answerField;
  std::string rowPrefix;      // "check: "
  std::string summaryPrefix;  // "check-rms: "
  std::string exportName;     // the CSV file name the export suggests
};

/**
 * The modal dialogs the program uses. Each call blocks until the user answers. Implemented by the
 * desktop backend with real dialogs and by the headless backend with queued answers.
 */
class Dialogs {
 public:
  virtual ~Dialogs() = default;

  /**
   * An open-file dialog titled after the command that asks (empty: the toolkit's title); the
   * chosen path, or nullopt when cancelled or when the dialog failed.
   */
  virtual std::optional<std::string> openFile(std::string_view title,
                                              const std::vector<FileFilter>& filters,
                                              int selectedFilter) = 0;
  /** An input box; the entered text, or nullopt when cancelled. */
  virtual std::optional<std::string> inputBox(std::string_view prompt, std::string_view title,
                                              std::string_view defaultText) = 0;
  /**
   * A message box with the application's title and one OK button. reason, when not empty, is what
   * lies behind a fixed message (why a file was refused, what the system said): the desktop shows
   * it as the box's detailed text, a scripted session on its error stream.
   */
  virtual void messageBox(std::string_view text, std::string_view reason) = 0;
  void messageBox(std::string_view text) { messageBox(text, {}); }
  /**
   * What lies behind something the program did without a message (a header line it set aside):
   * a scripted session writes it to its error stream as "reason: TEXT", the desktop program to
   * its standard error.
   */
  virtual void reportReason(std::string_view reason) = 0;
  /** Shows a second window modally; returns once the window has been hidden. */
  virtual void showModal(Form& window) = 0;
  /**
   * A save-file dialog; the chosen path (the user has agreed to replace what exists), or nullopt
   * when cancelled.
   */
  virtual std::optional<std::string> saveFile(const SaveRequest& request) = 0;
  /** A form; the fields as taken on OK, or nullopt when cancelled. */
  virtual std::optional<std::vector<FormField>> showForm(const FormRequest& request) = 0;
  /** A table; the action the user chose (one of request.actions), or nullopt when closed. */
  virtual std::optional<std::string> showTable(const TableRequest& request) = 0;
  /**
   * Shows that the program is busy (a wait cursor over its windows) until the matching endBusy;
   * pairs may nest. A backend with no pointer does nothing.
   */
  virtual void beginBusy() {}
  virtual void endBusy() {}
};

/** The busy indication of dialogs for as long as it lives: around a long read of a file. */
class BusyScope {
 public:
  explicit BusyScope(Dialogs& dialogs) : dialogs_(dialogs) { dialogs_.beginBusy(); }
  ~BusyScope() { dialogs_.endBusy(); }
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;

 private:
  Dialogs& dialogs_;
};

}  // namespace halvic::ui
