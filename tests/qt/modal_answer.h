#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <QWidget>
#include <functional>

namespace halvic::ui {

/**
 * Answers the next modal dialog from inside its event loop. A dialog still open after a few
 * seconds is closed, so that a broken answer fails the test instead of hanging it.
 */
class ModalAnswer {
 public:
  explicit ModalAnswer(std::function<void(QWidget&)> answer) {
    QTimer::singleShot(0, &context_, [answer = std::move(answer)] {
      QWidget* dialog = QApplication::activeModalWidget();
      if (dialog == nullptr) {
        ADD_FAILURE() << "no modal dialog is open";
        return;
      }
      answer(*dialog);
    });
    QTimer::singleShot(5000, &context_, [] {
      if (QWidget* dialog = QApplication::activeModalWidget()) {
        ADD_FAILURE() << "the dialog was still open";
        dialog->close();
      }
    });
  }

 private:
  QObject context_;
};

/**
 * Answers the first modal dialog of type Dialog (a QFileDialog, a QMessageBox, ...) that opens
 * while this object lives, from inside the dialog's event loop, however many event loops run
 * before it opens. A modal dialog still open five seconds after the answer, or one of another
 * kind left open for five seconds before it, is closed, so that a broken answer or a dialog nobody
 * expected fails the test instead of hanging it.
 */
template <typename Dialog>
class AnswerWhenOpen {
 public:
  explicit AnswerWhenOpen(std::function<void(Dialog&)> answer) : answer_(std::move(answer)) {
    waited_.start();
    QObject::connect(&poll_, &QTimer::timeout, &poll_, [this] { look(); });
    poll_.start(kPollMilliseconds);
  }

  /** Whether the answer has run. */
  bool answered() const { return answered_; }

 private:
  static constexpr int kPollMilliseconds = 10;
  static constexpr int kGiveUpMilliseconds = 5000;

  void look() {
    QWidget* modal = QApplication::activeModalWidget();
    if (answered_) {
      if (modal != nullptr && waited_.elapsed() > kGiveUpMilliseconds) {
        ADD_FAILURE() << "a modal " << modal->metaObject()->className()
                      << " was still open after the answer";
        modal->close();
      }
      return;
    }
    auto* dialog = qobject_cast<Dialog*>(modal);
    if (dialog != nullptr && dialog->isVisible()) {
      answered_ = true;
      waited_.restart();
      answer_(*dialog);  // may open dialogs of its own, with answers of their own
      return;
    }
    if (modal != nullptr && waited_.elapsed() > kGiveUpMilliseconds) {
      ADD_FAILURE() << "a modal " << modal->metaObject()->className()
                    << " was open where another kind of dialog was expected";
      modal->close();
    }
  }

  std::function<void(Dialog&)> answer_;
  QTimer poll_;
  QElapsedTimer waited_;
  bool answered_ = false;
};

}  // namespace halvic::ui
