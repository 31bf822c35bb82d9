#pragma once

#include <gtest/gtest.h>

#include <QApplication>
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

}  // namespace halvic::ui
