#include "tools/screenshots/modal_answers.h"

#include <QApplication>
#include <QMessageBox>
#include <QVariant>

namespace halvic::guide {

namespace {

/** Marks a dialog once it has had its answer, so that it is not answered twice while it closes. */
constexpr const char* kAnsweredProperty = "halvicGuideAnswered";
constexpr int kPollMs = 20;
/** A dialog still open this long after its answer is closed: the answer did not take. */
constexpr qint64 kLongestAnsweredMs = 10000;

bool answered(const QWidget& dialog) { return dialog.property(kAnsweredProperty).isValid(); }

}  // namespace

QString describeDialog(const QWidget& dialog) {
  if (const auto* box = qobject_cast<const QMessageBox*>(&dialog)) {
    return QStringLiteral("message \"") + box->text() + QLatin1Char('"');
  }
  return QStringLiteral("dialog \"") + dialog.windowTitle() + QLatin1Char('"');
}

ModalAnswers::ModalAnswers(std::vector<DialogAnswer> answers) : answers_(std::move(answers)) {
  poll_.setInterval(kPollMs);
  QObject::connect(&poll_, &QTimer::timeout, [this] { answerOpenDialog(); });
}

std::vector<QString> ModalAnswers::run(const std::function<void()>& action) {
  clock_.start();
  poll_.start();
  action();
  poll_.stop();
  if (nextAnswer_ < answers_.size()) {
    problems_.push_back(QString::number(answers_.size() - nextAnswer_) +
                        QStringLiteral(" expected dialog(s) did not open"));
  }
  return problems_;
}

void ModalAnswers::answerOpenDialog() {
  QWidget* dialog = QApplication::activeModalWidget();
  if (dialog == nullptr) {
    return;
  }
  if (answered(*dialog)) {
    const qint64 answeredAt = dialog->property(kAnsweredProperty).toLongLong();
    if (clock_.elapsed() - answeredAt > kLongestAnsweredMs) {
      problems_.push_back(describeDialog(*dialog) +
                          QStringLiteral(" stayed open after its answer"));
      dialog->close();
    }
    return;
  }
  dialog->setProperty(kAnsweredProperty, QVariant::fromValue(clock_.elapsed()));
  if (nextAnswer_ >= answers_.size()) {
    problems_.push_back(QStringLiteral("unexpected ") + describeDialog(*dialog));
    dialog->close();
    return;
  }
  if (!answers_[nextAnswer_++](*dialog)) {
    problems_.push_back(QStringLiteral("not the dialog expected: ") + describeDialog(*dialog));
    dialog->close();
  }
}

}  // namespace halvic::guide
