#pragma once

#include <QDir>
#include <QImage>
#include <QString>
#include <functional>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "app/desktop_program.h"
#include "app/main_window_layout.h"
#include "tools/screenshots/modal_answers.h"

namespace halvic::guide {

/** One field of a form as the user types it: the field's name and the text. */
using FieldText = std::pair<QString, QString>;

/**
 * The desktop program worked by hand, for the user guide's pictures: clicks on its widgets, picks
 * in its lists, drags of its scroll bars and answers to its dialogs, each through the real Qt
 * widgets, so that every handler runs as it does for a user. A step's picture is the whole window
 * (its menu bar included, when it has one) unless the step keeps another, such as a dialog. What
 * does not go as the guide says is gathered as a problem of the step.
 */
class GuideSession {
 public:
  explicit GuideSession(DesktopProgram& program) : program_(program) {}

  // What the user does.
  /** A click on a button or check box, answering the dialogs it opens in order. */
  void click(MainControl control, std::vector<DialogAnswer> answers = {});
  /** A command of the menu bar, run through the handler its item runs, answering its dialogs. */
  void command(void (MainWindow::*handler)(), std::vector<DialogAnswer> answers);
  /** Opens a list, picks the entry of that text and, if asked, keeps the open list's picture. */
  void pickListEntry(MainControl list, const QString& entry, bool keepPicture);
  /** Drags a scroll bar's thumb to value and lets it go. */
  void dragScrollBar(MainControl bar, int value);
  /**
   * Opens the menu of that title in the menu bar and keeps its picture; then closes it. A window
   * without a menu bar skips the step.
   */
  void openMenu(const QString& title);

  // The dialogs' answers.
  /** Types path into the file dialog, seen from the folder the program runs in, and opens it. */
  static DialogAnswer chooseFile(const QString& path);
  /** Types the fields into a form, keeps its picture, and presses OK. */
  DialogAnswer fillForm(std::vector<FieldText> fields);
  /** Reads a message box into text, keeps its picture, and presses OK. */
  DialogAnswer readMessage(QString& text);

  // What the guide says the program shows.
  /** The caption of a label, text with CR LF line breaks as the program writes them. */
  void expectCaption(MainControl control, std::string_view expected);
  void expectValue(MainControl control, int expected);
  void expectFile(const QString& path);
  void expect(bool holds, const QString& problem);

  /** The picture of the step: the one kept, or the whole window as it is now. */
  QImage takePicture();
  /** The problems since the last call, and none after it. */
  std::vector<QString> takeProblems() { return std::exchange(problems_, {}); }
  /** Why the step could not be taken here, if it could not; none after the call. */
  std::optional<QString> takeSkip() { return std::exchange(skipped_, std::nullopt); }

 private:
  QWidget& widget(MainControl control) const;
  QWidget& topLevel() const { return *program_.window().window(); }
  /** The window with a popup (a list, a menu) drawn over it where the screen shows it. */
  QImage windowWithPopup(QWidget& popup) const;
  void answering(const std::function<void()>& action, std::vector<DialogAnswer> answers);

  DesktopProgram& program_;
  std::optional<QImage> kept_;
  std::vector<QString> problems_;
  std::optional<QString> skipped_;
};

}  // namespace halvic::guide
