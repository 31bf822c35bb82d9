#include "tests/qt/qt_session_driver.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>
#include <QWheelEvent>
#include <algorithm>
#include <charconv>
#include <stdexcept>

#include "ui/qt/qt_look.h"

namespace halvic::ui {

namespace {

// How often the responder looks for a dialog that has opened, in milliseconds.
constexpr int kPollInterval = 5;
// One notch of a mouse wheel in QWheelEvent::angleDelta.
constexpr int kWheelNotch = 120;

std::vector<std::string_view> wordsOf(std::string_view line) {
  std::vector<std::string_view> words;
  size_t start = line.find_first_not_of(" \t");
  while (start != std::string_view::npos) {
    const size_t end = line.find_first_of(" \t", start);
    words.push_back(line.substr(start, end - start));
    start = end == std::string_view::npos ? end : line.find_first_not_of(" \t", end);
  }
  return words;
}

/** What follows the command word and one blank, as the scripts take a TEXT. */
QString textAfterCommand(std::string_view line) {
  const std::string_view rest = line.substr(line.find_first_not_of(" \t"));
  const size_t blank = rest.find(' ');
  return blank == std::string_view::npos ? QString() : shownText(rest.substr(blank + 1));
}

int wholeNumber(std::string_view word) {
  int value = 0;
  const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
  if (error != std::errc() || end != word.data() + word.size()) {
    throw std::invalid_argument("not a whole number: " + std::string(word));
  }
  return value;
}

QPushButton* dialogButton(QWidget& dialog, QDialogButtonBox::StandardButton which) {
  for (auto* box : dialog.findChildren<QDialogButtonBox*>()) {
    if (QPushButton* button = box->button(which)) {
      return button;
    }
  }
  return nullptr;
}

/** Replaces what an edit box holds by typing text into it. */
void typeInto(QLineEdit& edit, const QString& text) {
  edit.selectAll();
  QTest::keyClick(&edit, Qt::Key_Delete);
  QTest::keyClicks(&edit, text);
}

QStyleOptionSlider sliderOption(const QScrollBar& bar) {
  QStyleOptionSlider option;
  option.initFrom(&bar);
  option.subControls = QStyle::SC_None;
  option.activeSubControls = QStyle::SC_None;
  option.orientation = bar.orientation();
  option.minimum = bar.minimum();
  option.maximum = bar.maximum();
  option.sliderPosition = bar.sliderPosition();
  option.sliderValue = bar.value();
  option.singleStep = bar.singleStep();
  option.pageStep = bar.pageStep();
  option.upsideDown = bar.invertedAppearance();
  if (bar.orientation() == Qt::Horizontal) {
    option.state |= QStyle::State_Horizontal;
  }
  return option;
}

QRect partOf(const QScrollBar& bar, QStyle::SubControl part) {
  const QStyleOptionSlider option = sliderOption(bar);
  return bar.style()->subControlRect(QStyle::CC_ScrollBar, &option, part, &bar);
}

}  // namespace

DialogResponder::DialogResponder() {
  connect(&poll_, &QTimer::timeout, this, &DialogResponder::lookForDialog);
  poll_.start(kPollInterval);
}

void DialogResponder::lookForDialog() {
  QWidget* dialog = QApplication::activeModalWidget();
  std::erase_if(answering_, [](const QPointer<QWidget>& open) { return open.isNull(); });
  if (dialog == nullptr || !dialog->isVisible() ||
      std::find(answering_.begin(), answering_.end(), dialog) != answering_.end()) {
    return;
  }
  answering_.emplace_back(dialog);
  // Answered from a timer of its own: an answer that opens another dialog waits in that dialog's
  // loop, while this poll goes on and answers the new one.
  QTimer::singleShot(0, this, [this, open = QPointer<QWidget>(dialog)] {
    if (open) {
      answer(*open);
    }
    std::erase(answering_, open);
  });
}

void DialogResponder::answer(QWidget& dialog) {
  if (qobject_cast<QMessageBox*>(&dialog) != nullptr) {
    answerMessage(dialog);
  } else if (qobject_cast<QFileDialog*>(&dialog) != nullptr) {
    answerOpen(dialog);
  } else if (qobject_cast<QInputDialog*>(&dialog) != nullptr) {
    answerInput(dialog);
  } else if (dialog.findChild<QLineEdit*>("txtbackground") != nullptr) {
    answerContrast(dialog);
  } else {
    ADD_FAILURE() << "a dialog nobody expected: " << dialog.windowTitle().toStdString();
    dialog.close();
  }
}

void DialogResponder::answerMessage(QWidget& dialog) {
  auto& box = static_cast<QMessageBox&>(dialog);
  shown << QStringLiteral("message: ") + box.text();
  QTest::mouseClick(box.button(QMessageBox::Ok), Qt::LeftButton);
}

void DialogResponder::answerOpen(QWidget& dialog) {
  openTitles << dialog.windowTitle();
  auto* name = dialog.findChild<QLineEdit*>("fileNameEdit");
  QPushButton* open = dialogButton(dialog, QDialogButtonBox::Open);
  if (openAnswers.empty() || name == nullptr || open == nullptr) {
    ADD_FAILURE() << "an open-file dialog without an answer";
    dialog.close();
    return;
  }
  name->setText(openAnswers.front());
  openAnswers.pop_front();
  QTest::mouseClick(open, Qt::LeftButton);
}

void DialogResponder::answerInput(QWidget& dialog) {
  auto& input = static_cast<QInputDialog&>(dialog);
  shown << QStringLiteral("input-box: ") + input.windowTitle() + QStringLiteral(" | ") +
               input.labelText() + QStringLiteral(" | ") + input.textValue();
  auto* edit = input.findChild<QLineEdit*>();
  QPushButton* ok = dialogButton(input, QDialogButtonBox::Ok);
  if (inputAnswers.empty() || edit == nullptr || ok == nullptr) {
    ADD_FAILURE() << "an input box without an answer";
    input.close();
    return;
  }
  typeInto(*edit, inputAnswers.front());
  inputAnswers.pop_front();
  QTest::mouseClick(ok, Qt::LeftButton);
}

void DialogResponder::answerContrast(QWidget& dialog) {
  if (!contrastAnswers.empty()) {
    const auto [background, range] = contrastAnswers.front();
    contrastAnswers.pop_front();
    for (const auto& [box, text] : {std::pair{"txtbackground", background}, {"txtrange", range}}) {
      if (text != QStringLiteral("-")) {
        typeInto(*dialog.findChild<QLineEdit*>(box), text);
      }
    }
  }
  QTest::mouseClick(dialog.findChild<QWidget*>("cmddone"), Qt::LeftButton);
}

void QtSessionDriver::run(std::string_view line) {
  const std::vector<std::string_view> words = wordsOf(line);
  if (words.empty() || words.front().starts_with('#')) {
    return;
  }
  const std::string_view command = words.front();
  const auto argument = [&](size_t index) {
    if (index >= words.size()) {
      throw std::invalid_argument("too few words in: " + std::string(line));
    }
    return words[index];
  };
  if (command == "open") {
    responder_.openAnswers.push_back(textAfterCommand(line));
  } else if (command == "input") {
    responder_.inputAnswers.push_back(textAfterCommand(line));
  } else if (command == "contrast") {
    responder_.contrastAnswers.emplace_back(shownText(argument(1)), shownText(argument(2)));
  } else if (command == "click") {
    click(argument(1));
  } else if (command == "select") {
    select(argument(1), wholeNumber(argument(2)));
  } else if (command == "scroll") {
    dragThumb(argument(1), wholeNumber(argument(2)));
  } else if (command == "release") {
    releaseThumb(argument(1));
  } else if (command == "set") {
    stepTo(argument(1), wholeNumber(argument(2)));
  } else if (command == "press") {
    pressSurface(argument(1), QPoint(wholeNumber(argument(2)), wholeNumber(argument(3))));
  } else if (command == "wheel") {
    turnWheel(argument(1), wholeNumber(argument(2)));
  } else {
    throw std::invalid_argument("not a user action: " + std::string(line));
  }
}

QWidget& QtSessionDriver::widget(std::string_view name) {
  QWidget* found = window_.widget(name);
  if (found == nullptr) {
    throw std::invalid_argument("no widget named " + std::string(name));
  }
  return *found;
}

void QtSessionDriver::click(std::string_view name) {
  QWidget& target = widget(name);
  // A box or an option button is clicked on its indicator, at its left end.
  const bool checkable = qobject_cast<QCheckBox*>(&target) != nullptr ||
                         qobject_cast<QRadioButton*>(&target) != nullptr;
  const QPoint where = checkable ? QPoint(6, target.height() / 2) : target.rect().center();
  QTest::mouseClick(&target, Qt::LeftButton, {}, where);
}

void QtSessionDriver::select(std::string_view name, int index) {
  auto& combo = dynamic_cast<QComboBox&>(widget(name));
  // The arrow at the right end opens the list; the entry is clicked in it.
  QTest::mouseClick(&combo, Qt::LeftButton, {}, QPoint(combo.width() - 5, combo.height() / 2));
  QAbstractItemView* list = combo.view();
  if (!list->isVisible()) {
    throw std::logic_error("the list of " + std::string(name) + " did not open");
  }
  const QModelIndex entry = combo.model()->index(index, 0);
  list->scrollTo(entry);
  const QPoint where = list->visualRect(entry).center();
  // A release soon after the list opened, where it was pressed, only ends the opening click.
  QTest::mouseMove(list->viewport(), where);
  QTest::qWait(QApplication::doubleClickInterval() + 50);
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, where);
}

void QtSessionDriver::dragThumb(std::string_view name, int value) {
  auto& bar = dynamic_cast<QScrollBar&>(widget(name));
  const QRect thumb = partOf(bar, QStyle::SC_ScrollBarSlider);
  const QRect groove = partOf(bar, QStyle::SC_ScrollBarGroove);
  const int travel = groove.width() - thumb.width();
  // Qt puts the thumb's left edge where the pointer is less the place it was pressed.
  const int held = thumb.width() / 2;
  for (int left = 0; left <= travel; ++left) {
    if (QStyle::sliderValueFromPosition(bar.minimum(), bar.maximum(), left, travel,
                                        bar.invertedAppearance()) == value) {
      dragPoint_ = QPoint(groove.left() + left + held, bar.height() / 2);
      QTest::mousePress(&bar, Qt::LeftButton, {}, QPoint(thumb.left() + held, dragPoint_.y()));
      QTest::mouseMove(&bar, dragPoint_);
      return;
    }
  }
  throw std::invalid_argument("no place of the thumb of " + std::string(name) + " gives " +
                              std::to_string(value));
}

void QtSessionDriver::releaseThumb(std::string_view name) {
  QTest::mouseRelease(&widget(name), Qt::LeftButton, {}, dragPoint_);
}

void QtSessionDriver::stepTo(std::string_view name, int value) {
  auto& bar = dynamic_cast<QScrollBar&>(widget(name));
  const int step = value - bar.value();
  QStyle::SubControl part = QStyle::SC_None;
  if (step == bar.singleStep()) {
    part = QStyle::SC_ScrollBarAddLine;
  } else if (step == -bar.singleStep()) {
    part = QStyle::SC_ScrollBarSubLine;
  } else if (step == bar.pageStep()) {
    part = QStyle::SC_ScrollBarAddPage;
  } else if (step == -bar.pageStep()) {
    part = QStyle::SC_ScrollBarSubPage;
  } else {
    throw std::invalid_argument("no arrow or track click takes " + std::string(name) + " to " +
                                std::to_string(value));
  }
  QTest::mouseClick(&bar, Qt::LeftButton, {}, partOf(bar, part).center());
}

void QtSessionDriver::pressSurface(std::string_view surface, QPoint pixel) {
  if (surface == "window") {
    QTest::mouseClick(&window_, Qt::LeftButton, {}, pixel);
  } else if (surface == "graph") {
    QWidget& graph = widget("Picgraph");
    QTest::mouseClick(&graph, Qt::LeftButton, {}, pixel + graph.contentsRect().topLeft());
  } else {
    throw std::invalid_argument("no surface named " + std::string(surface));
  }
}

void QtSessionDriver::turnWheel(std::string_view surface, int notches) {
  if (surface != "graph") {
    throw std::invalid_argument("no wheel over " + std::string(surface));
  }
  QWidget& graph = widget("Picgraph");
  const QPointF centre = QRectF(graph.rect()).center();
  QWheelEvent turn(centre, graph.mapToGlobal(centre), {}, QPoint(0, notches * kWheelNotch),
                   Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(&graph, &turn);
}

}  // namespace halvic::ui
