#pragma once

#include <QElapsedTimer>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <vector>

namespace halvic::guide {

/** Answers one modal dialog as a user would; false when it is not the dialog expected. */
using DialogAnswer = std::function<bool(QWidget& dialog)>;

/**
 * Answers, in order, the modal dialogs that a user action opens, from inside their event loops.
 * A dialog that no answer expects is closed and reported, so that a step that suddenly shows a
 * message fails instead of hanging; so is an answer left over when the action has returned, and
 * a dialog still open a while after its answer.
 */
class ModalAnswers {
 public:
  explicit ModalAnswers(std::vector<DialogAnswer> answers);

  /** Runs action with the answers standing by; what went wrong, one text a problem. */
  std::vector<QString> run(const std::function<void()>& action);

 private:
  void answerOpenDialog();

  std::vector<DialogAnswer> answers_;
  size_t nextAnswer_ = 0;
  std::vector<QString> problems_;
  QTimer poll_;
  QElapsedTimer clock_;
};

/** How a dialog names itself in a problem: a message box by its text, others by their title. */
QString describeDialog(const QWidget& dialog);

}  // namespace halvic::guide
