#include "ui/qt/qt_form_window.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPaintEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QRegion>
#include <QScrollBar>
#include <QStyleOptionButton>
#include <QStyleOptionSlider>
#include <QTest>
#include <QWheelEvent>
#include <functional>
#include <vector>

#include "app/main_window_layout.h"
#include "ui/form.h"
#include "ui/qt/qt_look.h"
#include "ui/raster.h"

namespace halvic::ui {
namespace {

class MainWindowTest : public testing::Test {
 protected:
  MainWindowTest()
      : form_(mainWindowLayout()),
        surface_(775, 379, kWindowGrey),
        graph_(258, 110, {255, 255, 255}),
        window_(form_, &surface_, {{"Picgraph", &graph_}}) {
    window_.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&window_));
  }

  template <typename Widget>
  Widget& widget(std::string_view name) {
    auto* found = qobject_cast<Widget*>(window_.widget(name));
    if (found == nullptr) {
      throw std::logic_error("no widget of that kind named " + std::string(name));
    }
    return *found;
  }

  Form form_;
  Raster surface_;
  Raster graph_;
  QtFormWindow window_;
};

/** The events a control raises, each with the value it saw. */
struct EventLog {
  explicit EventLog(Control& control) {
    control.onClick = [this, &control] { clicks.push_back(control.listIndex()); };
    control.onScroll = [this, &control] { scrolls.push_back(control.value()); };
    control.onChange = [this, &control] { changes.push_back(control.value()); };
  }
  std::vector<int> clicks;
  std::vector<int> scrolls;
  std::vector<int> changes;
};

QPoint thumbCentre(QScrollBar& bar) {
  QStyleOptionSlider option;
  option.initFrom(&bar);
  option.state |= QStyle::State_Horizontal;
  option.orientation = Qt::Horizontal;
  option.minimum = bar.minimum();
  option.maximum = bar.maximum();
  option.sliderPosition = bar.sliderPosition();
  option.sliderValue = bar.value();
  option.pageStep = bar.pageStep();
  return bar.style()
      ->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, &bar)
      .center();
}

const std::map<ControlKind, const char*> kWidgetClass{
    {ControlKind::Button, "QPushButton"},        {ControlKind::CheckBox, "QCheckBox"},
    {ControlKind::OptionButton, "QRadioButton"}, {ControlKind::ComboBox, "QComboBox"},
    {ControlKind::ScrollBar, "QScrollBar"},      {ControlKind::Label, "QLabel"},
    {ControlKind::TextBox, "QLineEdit"},         {ControlKind::PictureBox, "QFrame"}};

QString shownCaption(QWidget& widget) {
  if (auto* label = qobject_cast<QLabel*>(&widget)) {
    return label->text();
  }
  auto* button = qobject_cast<QAbstractButton*>(&widget);
  return button != nullptr ? button->text() : QString();
}

/** Whether a caption fits its control: wrapped on buttons and labels, one line elsewhere. */
bool captionFits(QWidget& widget) {
  const QFontMetrics metrics = widget.fontMetrics();
  const QString caption = shownCaption(widget);
  QRect area = widget.rect();
  if (auto* button = dynamic_cast<WrappingButton*>(&widget)) {
    area = button->captionArea();
  } else if (qobject_cast<QLabel*>(&widget) == nullptr) {
    QStyleOptionButton option;
    option.initFrom(&widget);
    option.text = caption;
    area = widget.style()->subElementRect(qobject_cast<QRadioButton*>(&widget) != nullptr
                                              ? QStyle::SE_RadioButtonContents
                                              : QStyle::SE_CheckBoxContents,
                                          &option, &widget);
    return metrics.horizontalAdvance(caption) <= area.width() && metrics.height() <= area.height();
  }
  const QRect needed =
      metrics.boundingRect(QRect(0, 0, area.width(), 1000), Qt::TextWordWrap, caption);
  return needed.width() <= area.width() && needed.height() <= area.height();
}

TEST_F(MainWindowTest, EveryControlHasItsWidgetAtTheLayoutsPlace) {
  int widgets = 0;
  int captions = 0;
  for (const auto& control : form_.controls()) {
    const ControlSpec& spec = control->spec();
    SCOPED_TRACE(std::string(spec.name));
    QWidget* shown = window_.widget(spec.name);
    const auto widgetClass = kWidgetClass.find(spec.kind);
    ASSERT_EQ(shown != nullptr, widgetClass != kWidgetClass.end());  // shapes and lines: none
    if (shown == nullptr) {
      continue;
    }
    EXPECT_TRUE(shown->inherits(widgetClass->second));
    EXPECT_EQ(shown->geometry(), QRect(spec.x, spec.y, spec.width, spec.height));
    EXPECT_EQ(shownCaption(*shown).toStdString(), spec.caption);
    EXPECT_TRUE(shown->isVisible());
    ++widgets;
    if (!spec.caption.empty()) {
      EXPECT_TRUE(captionFits(*shown));
      ++captions;
    }
  }
  EXPECT_EQ(widgets, 42);  // 47 rows less four shapes and a line
  EXPECT_EQ(captions, 27);
  EXPECT_EQ(window_.size(), QSize(775, 379));
  EXPECT_EQ(window_.minimumSize(), window_.maximumSize());
  EXPECT_EQ(window_.windowTitle(), "Halvic Spectral Calibration Program - Version 1.2");
  // Focus starts on tab index 0 (cmdload), then 1 (cmdexit), then 3 (cmdprint; 2 is a label).
  EXPECT_EQ(QApplication::focusWidget(), window_.widget("cmdload"));
  EXPECT_EQ(window_.widget("cmdload")->nextInFocusChain(), window_.widget("cmdexit"));
  EXPECT_EQ(window_.widget("cmdexit")->nextInFocusChain(), window_.widget("cmdprint"));
}

TEST_F(MainWindowTest, OptionButtonsAndScrollBarsStartAsLaidOut) {
  for (const char* name : {"Lingraph", "loggraph", "pushgraph"}) {
    EXPECT_FALSE(widget<QRadioButton>(name).isChecked()) << name;
  }
  EXPECT_TRUE(widget<QRadioButton>("autograph").isChecked());

  // Name, then minimum, maximum, small change, large change and value.
  const std::vector<std::pair<const char*, std::vector<int>>> rows{
      {"hsbspectra", {1, 768, 1, 10, 381}},
      {"hsbcropdata1", {1, 20, 1, 5, 1}},
      {"hsbcropdata2", {1, 20, 1, 5, 20}},
      {"hsbcropcal1", {1, 20, 1, 1, 1}},
      {"hsbcropcal2", {1, 20, 1, 1, 20}}};
  for (const auto& [name, settings] : rows) {
    const auto& bar = widget<QScrollBar>(name);
    EXPECT_EQ(bar.orientation(), Qt::Horizontal);
    EXPECT_EQ(
        std::vector({bar.minimum(), bar.maximum(), bar.singleStep(), bar.pageStep(), bar.value()}),
        settings)
        << name;
  }
  EXPECT_EQ(rows.size(), 5U);
}

TEST_F(MainWindowTest, ClicksReachTheModel) {
  EventLog button(form_["cmdload"]);
  QTest::mouseClick(window_.widget("cmdemission"), Qt::LeftButton);
  QTest::mouseClick(window_.widget("cmdload"), Qt::LeftButton);
  EXPECT_EQ(button.clicks.size(), 1U);

  EventLog box(form_["chkmedian"]);
  QTest::mouseClick(window_.widget("chkmedian"), Qt::LeftButton);
  EXPECT_EQ(form_["chkmedian"].value(), 1);
  QTest::mouseClick(window_.widget("chkmedian"), Qt::LeftButton);
  EXPECT_EQ(form_["chkmedian"].value(), 0);
  EXPECT_FALSE(widget<QCheckBox>("chkmedian").isChecked());
  EXPECT_EQ(box.clicks.size(), 2U);

  // The form keeps the option group; a second click leaves the selected button selected.
  EventLog option(form_["loggraph"]);
  QTest::mouseClick(window_.widget("loggraph"), Qt::LeftButton);
  QTest::mouseClick(window_.widget("loggraph"), Qt::LeftButton);
  EXPECT_TRUE(widget<QRadioButton>("loggraph").isChecked());
  EXPECT_FALSE(widget<QRadioButton>("autograph").isChecked());
  EXPECT_EQ(form_["autograph"].value(), 0);
  EXPECT_EQ(option.clicks.size(), 2U);
}

TEST_F(MainWindowTest, ComboBoxMirrorsItemsAndReportsTheUsersChoice) {
  Control& scale = form_["cboscale"];
  for (const char* item : {"Manual Entry", "4358.33 Hg", "5460.74 Hg"}) {
    scale.addItem(item);
  }
  auto& combo = widget<QComboBox>("cboscale");
  ASSERT_EQ(combo.count(), 3);
  EXPECT_EQ(combo.itemText(2), "5460.74 Hg");

  EventLog log(scale);
  scale.setListIndex(0);  // by program: the model's own Click, no echo from the widget
  EXPECT_EQ(combo.currentIndex(), 0);
  combo.setFocus();
  QTest::keyClick(&combo, Qt::Key_Down);
  EXPECT_EQ(log.clicks, (std::vector<int>{0, 1}));
  EXPECT_EQ(scale.caption(), "4358.33 Hg");
}

TEST_F(MainWindowTest, ScrollBarArrowsTrackKeysAndWheelSetTheValue) {
  Control& cursor = form_["hsbspectra"];
  EventLog log(cursor);
  auto& bar = widget<QScrollBar>("hsbspectra");
  const int middle = bar.height() / 2;
  const QPoint leftArrow(3, middle);
  const QPoint rightArrow(bar.width() - 4, middle);
  const QPoint rightTrack(bar.width() - 30, middle);

  QTest::mouseClick(&bar, Qt::LeftButton, {}, rightArrow);
  QTest::mouseClick(&bar, Qt::LeftButton, {}, rightTrack);
  bar.setFocus();
  QTest::keyClick(&bar, Qt::Key_Left);
  QTest::keyClick(&bar, Qt::Key_Right);
  QTest::keyClick(&bar, Qt::Key_Right);
  const QPointF inside(5, middle);
  QWheelEvent wheel(inside, bar.mapToGlobal(inside), {}, QPoint(0, 120), Qt::NoButton,
                    Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(&bar, &wheel);  // one notch away from the user: towards the start
  QTest::mouseClick(&bar, Qt::LeftButton, {}, leftArrow);
  EXPECT_EQ(log.changes, (std::vector<int>{382, 392, 391, 392, 393, 390, 389}));
  EXPECT_EQ(bar.value(), 389);
  EXPECT_TRUE(log.scrolls.empty());

  cursor.setValue(768);
  QTest::mouseClick(&bar, Qt::LeftButton, {}, rightArrow);  // at the end nothing changes
  EXPECT_EQ(log.changes.size(), 8U);
}

TEST_F(MainWindowTest, DraggingTheThumbScrollsAndReleasingChanges) {
  Control& cursor = form_["hsbspectra"];
  EventLog log(cursor);
  auto& bar = widget<QScrollBar>("hsbspectra");
  const QPoint thumb = thumbCentre(bar);
  QTest::mousePress(&bar, Qt::LeftButton, {}, thumb);
  QTest::mouseMove(&bar, thumb + QPoint(20, 0));
  ASSERT_FALSE(log.scrolls.empty());
  EXPECT_TRUE(log.changes.empty());
  EXPECT_GT(cursor.value(), 381);
  EXPECT_EQ(bar.value(), cursor.value());
  QTest::mouseRelease(&bar, Qt::LeftButton, {}, thumb + QPoint(20, 0));
  EXPECT_EQ(log.changes, std::vector<int>{cursor.value()});
}

TEST_F(MainWindowTest, ModelChangesAreMirroredWithoutEchoes) {
  Control& crop = form_["hsbcropdata1"];
  crop.onChange = [&crop] {  // a handler that refuses rows past 10: the bar shows its answer
    crop.setValue(std::min(crop.value(), 10));
  };
  crop.setValue(12);
  EXPECT_EQ(widget<QScrollBar>("hsbcropdata1").value(), 10);

  Control& cursor = form_["hsbspectra"];
  EventLog log(cursor);
  cursor.setMaximum(400);
  cursor.setValue(200);
  EXPECT_EQ(widget<QScrollBar>("hsbspectra").maximum(), 400);
  EXPECT_EQ(widget<QScrollBar>("hsbspectra").value(), 200);
  EXPECT_EQ(log.changes, std::vector<int>{200});
  EXPECT_TRUE(log.scrolls.empty());

  form_["Lblwavelength"].setCaption("Pixel 200\r\nWavelength 5000");
  EXPECT_EQ(widget<QLabel>("Lblwavelength").text(), "Pixel 200\nWavelength 5000");
  form_["cmdprint"].setVisible(false);
  EXPECT_FALSE(window_.widget("cmdprint")->isVisible());
}

TEST_F(MainWindowTest, RastersShowUnderTheControlsAndShapesAboveThem) {
  surface_.plot(100, 20, kRed);
  surface_.plot(4, 8, kGreen);  // under the frame's corner: the border wins
  graph_.plot(0, 0, kGreen);
  graph_.plot(257, 109, kRed);
  form_["Shphart1"].setBorderColour(kRed);
  QCoreApplication::processEvents();
  const QImage image = window_.grab().toImage();
  ASSERT_EQ(image.size(), QSize(775, 379));

  const QColor grey(192, 192, 192);
  const std::vector<std::tuple<int, int, QColor>> rows{
      {100, 20, Qt::red},    {101, 20, grey},        // the window's raster and its background
      {4, 8, Qt::red},       {771, 29, Qt::red},     // Shphart1's corners, in its new colour
      {4, 40, Qt::black},    {771, 61, Qt::black},   // shphart2 in black, hollow
      {5, 41, grey},         {712, 200, Qt::black},  // Line1
      {226, 146, Qt::green}, {483, 255, Qt::red},   {300, 200, Qt::white},  // Picgraph's raster
  };
  for (const auto& [x, y, colour] : rows) {
    EXPECT_EQ(image.pixelColor(x, y), colour) << x << ", " << y;
  }
  EXPECT_EQ(rows.size(), 11U);
}

/** The regions a widget is asked to paint while this object lives. */
class PaintLog : public QObject {
 public:
  explicit PaintLog(QWidget& widget) { widget.installEventFilter(this); }
  std::vector<QRegion> regions;

 protected:
  bool eventFilter(QObject* /*watched*/, QEvent* event) override {
    if (event->type() == QEvent::Paint) {
      regions.push_back(static_cast<QPaintEvent*>(event)->region());
    }
    return false;
  }
};

TEST_F(MainWindowTest, ARasterChangeRepaintsOnlyWhereItShows) {
  QWidget& picture = *window_.widget("Picgraph");
  QCoreApplication::processEvents();
  struct Row {
    const char* name;
    std::function<void()> draw;
    QWidget* painted;
    QRect expectedRegion;  // in the painted widget's coordinates
    QPoint probe;          // a changed pixel, in the window's coordinates
    QColor colour;
  };
  // Picgraph's drawing area starts at (226, 146) in the window, (2, 2) inside its border.
  const std::vector<Row> rows{
      {"a point of the window's surface", [this] { surface_.plot(100, 20, kRed); }, &window_,
       QRect(100, 20, 1, 1), QPoint(100, 20), Qt::red},
      {"a batch of points",
       [this] {
         const RasterBatch batch(surface_);
         for (int x = 10; x < 20; ++x) {
           surface_.plot(x, 30, kGreen);
         }
       },
       &window_, QRect(10, 30, 10, 1), QPoint(19, 30), Qt::green},
      {"a line on the graph", [this] { graph_.line(10, 5, 20, 8, kRed); }, &picture,
       QRect(12, 7, 11, 4), QPoint(236, 151), Qt::red},
      {"the graph cleared", [this] { graph_.clear(); }, &picture, QRect(2, 2, 258, 110),
       QPoint(236, 151), Qt::white},
  };
  int checked = 0;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const QColor before = window_.grab().toImage().pixelColor(row.probe);
    PaintLog log(*row.painted);
    row.draw();
    QCoreApplication::processEvents();
    EXPECT_EQ(log.regions, std::vector<QRegion>{QRegion(row.expectedRegion)});
    const QImage image = window_.grab().toImage();
    EXPECT_NE(before, row.colour);
    EXPECT_EQ(image.pixelColor(row.probe), row.colour);
    EXPECT_EQ(image.pixelColor(100, 20), QColor(Qt::red)) << "an earlier change still shows";
    ++checked;
  }
  EXPECT_EQ(checked, 4);
}

TEST(QtFormWindow, TextBoxEditsReachTheModel) {
  Form form(contrastDialogLayout());
  QtFormWindow window(form, nullptr, {});
  EXPECT_EQ(window.size(), QSize(250, 65));
  QTest::keyClicks(window.widget("txtbackground"), "1200");
  EXPECT_EQ(form["txtbackground"].caption(), "1200");
  form["txtrange"].setCaption(" 300");
  EXPECT_EQ(qobject_cast<QLineEdit*>(window.widget("txtrange"))->text(), " 300");

  Raster raster(10, 10, kWindowGrey);
  EXPECT_THROW(QtFormWindow(form, nullptr, {{"cmddone", &raster}}), std::invalid_argument);
}

}  // namespace
}  // namespace halvic::ui

namespace halvic::ui {
namespace {

/** The control whose widget has the keyboard focus (a list's edit box counts as its list). */
std::string focusedControl(QtFormWindow& window) {
  QWidget* focused = QApplication::focusWidget();
  while (focused != nullptr && focused->parentWidget() != &window) {
    focused = focused->parentWidget();
  }
  return focused == nullptr ? std::string("(none)") : focused->objectName().toStdString();
}

TEST_F(MainWindowTest, TabMovesTheFocusInTheLayoutsOrder) {
  // The controls that take the focus, by their place in the focus order (labels and the picture
  // box take none): 0 cmdload, 1 cmdexit, 3 cmdprint, ..., 41 chkmedian, then round again.
  const std::vector<std::string> order{
      "cmdload",      "cmdexit",      "cmdprint",     "cmdcontrast",  "cmdcalcspectra",
      "cmdload2",     "cmdmarkline1", "cmdmarkline2", "cmdcontrast2", "cmdemission",
      "cboscale",     "cbobox",       "hsbspectra",   "Cmdcalccal",   "Lingraph",
      "loggraph",     "autograph",    "smoothing",    "cmdtext",      "cmdstrip",
      "hsbcropdata1", "hsbcropdata2", "hsbcropcal1",  "hsbcropcal2",  "pushgraph",
      "chkexpand",    "chkfilter",    "chkmedian",    "cmdload"};
  window_.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window_));
  window_.widget("cmdload")->setFocus();
  std::vector<std::string> visited{focusedControl(window_)};
  for (size_t step = 1; step < order.size(); ++step) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    visited.push_back(focusedControl(window_));
  }
  EXPECT_EQ(visited, order);
}

TEST_F(MainWindowTest, ArrowAndPageKeysStepTheFocusedScrollBar) {
  Control& cursor = form_["hsbspectra"];
  EventLog log(cursor);
  auto& bar = widget<QScrollBar>("hsbspectra");
  window_.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window_));
  bar.setFocus();
  // From 381, small change 1 and large change 10; Page Down and Right move towards the maximum.
  const std::vector<std::pair<Qt::Key, int>> rows{{Qt::Key_Right, 382}, {Qt::Key_PageDown, 392},
                                                  {Qt::Key_Left, 391},  {Qt::Key_PageUp, 381},
                                                  {Qt::Key_Down, 382},  {Qt::Key_Up, 381}};
  std::vector<int> expected;
  for (const auto& [key, value] : rows) {
    QTest::keyClick(&bar, key);
    expected.push_back(value);
    EXPECT_EQ(cursor.value(), value) << QTest::toString(key);
  }
  EXPECT_EQ(log.changes, expected);
  EXPECT_TRUE(log.scrolls.empty());
}

TEST_F(MainWindowTest, SpaceEnterAndReturnPressTheFocusedButtonThatIsNoDefault) {
  EventLog log(form_["cmdload"]);
  auto& button = widget<QPushButton>("cmdload");
  window_.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window_));
  button.setFocus();
  const std::vector<Qt::Key> keys{Qt::Key_Space, Qt::Key_Return, Qt::Key_Enter};
  for (size_t pressed = 0; pressed < keys.size(); ++pressed) {
    QTest::keyClick(&button, keys[pressed]);
    EXPECT_EQ(log.clicks.size(), pressed + 1) << QTest::toString(keys[pressed]);
  }
  // A key the button does not take presses nothing.
  QTest::keyClick(&button, Qt::Key_A);
  EXPECT_EQ(log.clicks.size(), keys.size());
  for (const auto& control : form_.controls()) {
    if (auto* push = qobject_cast<QPushButton*>(window_.widget(control->name()))) {
      EXPECT_FALSE(push->isDefault() || push->autoDefault()) << control->name();
    }
  }
}

// The bar with the keyboard shows it on its outermost pixels and is drawn as ever inside them.
TEST_F(MainWindowTest, TheFocusedScrollBarShowsItAroundItsEdgeAlone) {
  auto& bar = widget<QScrollBar>("hsbcropdata1");
  window_.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window_));
  window_.widget("cmdtext")->setFocus();
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);  // to cmdstrip, by the keyboard
  const QImage unfocused = bar.grab().toImage();
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  ASSERT_TRUE(bar.hasFocus());
  const QImage focused = bar.grab().toImage();
  ASSERT_EQ(focused.size(), unfocused.size());
  const QRect inside = focused.rect().adjusted(1, 1, -1, -1);
  int changedOnEdge = 0;
  int changedInside = 0;
  for (int y = 0; y < focused.height(); ++y) {
    for (int x = 0; x < focused.width(); ++x) {
      if (focused.pixel(x, y) != unfocused.pixel(x, y)) {
        ++(inside.contains(x, y) ? changedInside : changedOnEdge);
      }
    }
  }
  EXPECT_GT(changedOnEdge, 0);
  EXPECT_EQ(changedInside, 0);
}

TEST_F(MainWindowTest, TheWheelChangesAListOnlyWhileItHasTheFocus) {
  Control& scale = form_["cboscale"];
  for (const char* item : {"4358.33 Hg", "5460.74 Hg", "Manual Entry"}) {
    scale.addItem(item);
  }
  scale.setListIndex(0);
  EventLog log(scale);
  auto& combo = widget<QComboBox>("cboscale");
  window_.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window_));
  struct Row {
    const char* name;
    bool focused;
    int index;  // after one notch towards the user
  };
  const std::vector<Row> rows{{"without the focus", false, 0}, {"with the focus", true, 1}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    (row.focused ? static_cast<QWidget&>(combo) : *window_.widget("cmdload")).setFocus();
    const QPointF inside(5, 5);
    QWheelEvent wheel(inside, combo.mapToGlobal(inside), {}, QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&combo, &wheel);
    EXPECT_EQ(scale.listIndex(), row.index);
    EXPECT_EQ(combo.currentIndex(), row.index);
  }
  EXPECT_EQ(log.clicks, std::vector<int>{1});
}

TEST_F(MainWindowTest, ATextTooLongForItsLabelIsElidedInTheMiddle) {
  const std::string longPath =
      "/home/observer/spectra/2024-03-14/clear-night/neon-calibration-lamp-long-exposure.kr4";
  struct Row {
    const char* name;
    const char* label;
    std::string caption;
    bool elided;
  };
  const std::vector<Row> rows{
      {"a short path", "lblfiledata1", "/tmp/lamp.kr4", false},
      {"a long path", "lblfiledata1", longPath, true},
      {"lines that fit", "Lblwavelength", "Pixel 200.00\r\nPixel Value = 830", false},
      {"a long line among lines that fill the label", "Lblwavelength",
       longPath + "\r\n2\r\n3\r\n4\r\n5\r\n6", true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Control& control = form_[row.label];
    control.setToolTip("What the label tells");
    control.setCaption(row.caption);
    auto& label = widget<QLabel>(row.label);
    const QString whole = shownText(row.caption);
    EXPECT_EQ(control.caption(), row.caption);  // the caption stays whole
    if (!row.elided) {
      EXPECT_EQ(label.text(), whole);
      EXPECT_EQ(label.toolTip(), "What the label tells");
      continue;
    }
    EXPECT_EQ(label.toolTip(), whole);
    const QStringList shownLines = label.text().split('\n');
    const QStringList wholeLines = whole.split('\n');
    ASSERT_EQ(shownLines.size(), wholeLines.size());
    const QString& first = shownLines.front();
    EXPECT_TRUE(first.contains(QChar(0x2026)));
    EXPECT_TRUE(first.startsWith("/home/"));
    EXPECT_TRUE(first.endsWith(".kr4"));
    EXPECT_LE(label.fontMetrics().horizontalAdvance(first), label.contentsRect().width());
    EXPECT_EQ(shownLines.mid(1), wholeLines.mid(1));  // the lines that fit stay as they are
  }
  EXPECT_EQ(rows.size(), 4U);
}

TEST_F(MainWindowTest, EveryWidgetShowsItsControlsToolTip) {
  int tips = 0;
  for (const auto& control : form_.controls()) {
    if (QWidget* shown = window_.widget(control->name())) {
      control->setToolTip("What " + std::string(control->name()) + " does");
      EXPECT_EQ(shown->toolTip().toStdString(), control->toolTip());
      ++tips;
    }
  }
  EXPECT_EQ(tips, 42);
}

TEST_F(MainWindowTest, ClicksOnTheSurfaceAndTheGraphAndTheWheelAreReported) {
  std::vector<QPoint> surfaceClicks;
  std::vector<QPoint> graphClicks;
  std::vector<int> notches;
  window_.setOnSurfaceClick([&](int x, int y) { surfaceClicks.emplace_back(x, y); });
  PictureBoxWidget& graph = *window_.pictureBox("Picgraph");
  graph.setOnClick([&](int x, int y) { graphClicks.emplace_back(x, y); });
  graph.setOnWheel([&](int steps) { notches.push_back(steps); });
  EXPECT_EQ(window_.pictureBox("hsbspectra"), nullptr);

  // On the surface; on a label, which is no part of it; pressed on it and released far off.
  QTest::mouseClick(&window_, Qt::LeftButton, {}, QPoint(300, 20));
  QTest::mouseClick(&window_, Qt::LeftButton, {}, QPoint(30, 70));  // Label3
  QTest::mouseClick(&window_, Qt::RightButton, {}, QPoint(300, 20));
  QTest::mousePress(&window_, Qt::LeftButton, {}, QPoint(500, 50));
  QTest::mouseRelease(&window_, Qt::LeftButton, {}, QPoint(800, 390));
  EXPECT_EQ(surfaceClicks, (std::vector<QPoint>{{300, 20}, {800, 390}}));

  // The graph's drawing area starts inside its two-pixel border.
  QTest::mouseClick(&graph, Qt::LeftButton, {}, QPoint(12, 7));
  QTest::mouseClick(&graph, Qt::LeftButton, {}, QPoint(2, 2));
  EXPECT_EQ(graphClicks, (std::vector<QPoint>{{10, 5}, {0, 0}}));
  EXPECT_TRUE(surfaceClicks.size() == 2U) << "a click on the graph is none on the surface";

  // Whole notches; a fine wheel's eighths add up; towards the user is negative.
  for (const int delta : {120, 240, -120, 60, 60, 30, -90}) {
    const QPointF inside(20, 20);
    QWheelEvent wheel(inside, graph.mapToGlobal(inside), {}, QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&graph, &wheel);
  }
  EXPECT_EQ(notches, (std::vector<int>{1, 2, -1, 1}));
}

}  // namespace
}  // namespace halvic::ui
