#include "ui/qt/qt_form_window.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPaintEvent>
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
