#pragma once

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <deque>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "ui/qt/qt_form_window.h"

namespace halvic::ui {

/**
 * Answers every modal dialog that opens while it lives, through the dialog's own widgets, from
 * queues like a scripted session's: an open-file dialog gets the next path typed into its name
 * box and "Open"; an input box the next text typed and "OK"; the contrast dialog the next two
 * values typed into its boxes ("-" leaves a box as shown) and "Done", or just "Done" when none is
 * queued; a message box "OK". The message and input boxes are noted in the order shown, in the
 * scripted transcript's words ("message: TEXT", "input-box: TITLE | PROMPT | DEFAULT").
 */
class DialogResponder : public QObject {
 public:
  DialogResponder();

  std::deque<QString> openAnswers;
  std::deque<QString> inputAnswers;
  std::deque<std::pair<QString, QString>> contrastAnswers;
  /** The message and input boxes shown, in order. */
  QStringList shown;
  /** The titles of the open-file dialogs shown, in order. */
  QStringList openTitles;

 private:
  void lookForDialog();
  void answer(QWidget& dialog);
  void answerOpen(QWidget& dialog);
  void answerInput(QWidget& dialog);
  void answerContrast(QWidget& dialog);
  void answerMessage(QWidget& dialog);

  QTimer poll_;
  /** Dialogs whose answer is under way: one may open another before it is closed. */
  std::vector<QPointer<QWidget>> answering_;
};

/**
 * Carries out the user actions of a scripted session on the real widgets of a desktop window,
 * with QTest's mouse: clicks on buttons, boxes and option buttons, list entries picked from the
 * opened list, thumbs dragged (`scroll` presses the thumb and moves it to the value's place,
 * `release` lets go), arrow and track clicks (`set` to a value one small or one large change
 * away), clicks on the window's surface and the graph, and wheel turns over the graph. Dialog
 * answers (`open`, `input`, `contrast`) go to the responder's queues. A line it cannot carry out
 * fails the test.
 */
class QtSessionDriver {
 public:
  QtSessionDriver(QtFormWindow& window, DialogResponder& responder)
      : window_(window), responder_(responder) {}

  /** Carries out one line of a script; comments and blank lines do nothing. */
  void run(std::string_view line);

 private:
  QWidget& widget(std::string_view name);
  void click(std::string_view name);
  void select(std::string_view name, int index);
  void dragThumb(std::string_view name, int value);
  void releaseThumb(std::string_view name);
  void stepTo(std::string_view name, int value);
  void pressSurface(std::string_view surface, QPoint pixel);
  void turnWheel(std::string_view surface, int notches);

  QtFormWindow& window_;
  DialogResponder& responder_;
  /** Where the thumb being dragged is held, in its bar's coordinates. */
  QPoint dragPoint_;
};

}  // namespace halvic::ui
