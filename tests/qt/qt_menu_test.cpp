// The menu bar's Qt mirror, and the window that puts it above the laid-out client area.

#include <gtest/gtest.h>

#include <QMenu>
#include <QTest>
#include <string>
#include <vector>

#include "app/main_window_layout.h"
#include "app/main_window_menus.h"
#include "ui/form.h"
#include "ui/qt/qt_menu_bar.h"
#include "ui/qt/qt_menu_window.h"
#include "ui/raster.h"

namespace halvic::ui {
namespace {

/** A menu as the user sees it: each item's text, a tab and its shortcut when it has one; "-" for
 * a separator. */
QStringList shownItems(const QMenu& menu) {
  QStringList items;
  for (const QAction* action : menu.actions()) {
    if (action->isSeparator()) {
      items << "-";
      continue;
    }
    const QString shortcut = action->shortcut().toString(QKeySequence::PortableText);
    items << (shortcut.isEmpty() ? action->text() : action->text() + "\t" + shortcut);
  }
  return items;
}

TEST(QtMenuBar, ShowsTheTablesMenusItemsShortcutsAndSeparators) {
  MenuBar menus(kMainWindowMenus);
  const QtMenuBar bar(menus);
  struct Row {
    QString title;
    QStringList items;
  };
  const std::vector<Row> rows{
      {"&File",
       {"&Load Spectra...\tCtrl+O", "Load &Cal...", "Open FITS &Object...", "Open FITS La&mp...",
        "-", "&Export FITS...\tCtrl+E", "Export C&SV...", "Export &Graph Image...",
        "Print Pre&view...\tCtrl+P", "-", "E&xit\tCtrl+Q"}},
      {"&Calibration",
       {"&Undo\tCtrl+Z", "R&edo\tCtrl+Shift+Z", "-", "&Save Calibration...", "&Load Calibration...",
        "-", "&Check Calibration...", "&Refine with All Lines", "Re-&identify on This Lamp",
        "S&pectrograph...", "Lamp Li&nes..."}},
      {"&Help", {"&User Guide\tF1", "&About"}},
  };
  const QList<QAction*> shown = bar.actions();
  ASSERT_EQ(shown.size(), static_cast<qsizetype>(rows.size()));
  for (size_t index = 0; index < rows.size(); ++index) {
    const QAction* menuAction = shown[static_cast<qsizetype>(index)];
    SCOPED_TRACE(menuAction->text().toStdString());
    EXPECT_EQ(menuAction->text(), rows[index].title);
    ASSERT_NE(menuAction->menu(), nullptr);
    EXPECT_EQ(shownItems(*menuAction->menu()), rows[index].items);
  }
}

TEST(QtMenuBar, AnActionIsEnabledExactlyWhenItsItemIsAndChoosingItRunsTheItem) {
  struct Row {
    std::string name;
    bool handler;
    bool enabledByProgram;
    bool expectEnabled;
  };
  const std::vector<Row> rows{
      {"a handler, enabled", true, true, true},
      {"a handler, disabled by the program", true, false, false},
      {"no handler: not offered here", false, true, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    MenuBar menus(kMainWindowMenus);
    const QtMenuBar bar(menus);
    MenuItem& item = menus.byTitle("Calibration", "Spectrograph");
    QAction* action = bar.action("Calibration", "Spectrograph");
    ASSERT_NE(action, nullptr);
    EXPECT_FALSE(action->isEnabled()) << "no item has a handler yet";
    // Set after the menu bar was built, as the program does: the action follows.
    int runs = 0;
    if (row.handler) {
      item.setHandler([&runs] { ++runs; });
    }
    item.setEnabled(row.enabledByProgram);
    EXPECT_EQ(action->isEnabled(), row.expectEnabled);
    action->trigger();
    EXPECT_EQ(runs, row.expectEnabled ? 1 : 0);
  }
  EXPECT_EQ(rows.size(), 3U);
}

TEST(QtMenuBar, AnActionShowsWhatItsItemSaysNow) {
  MenuBar menus(kMainWindowMenus);
  const QtMenuBar bar(menus);
  menus["mnuUndo"].setText("&Undo Mark Line 1");
  EXPECT_EQ(bar.action("Calibration", "Undo")->text(), "&Undo Mark Line 1");
}

TEST(QtMenuBar, ItemsOutliveTheMenuBarWithoutReachingIt) {
  MenuBar menus(kMainWindowMenus);
  { const QtMenuBar bar(menus); }
  // The bar has gone; a change of an item must not reach for it (the sanitizer build checks).
  menus.byTitle("File", "Exit").setHandler([] {});
  menus.byTitle("File", "Exit").setEnabled(false);
  EXPECT_FALSE(menus.byTitle("File", "Exit").enabled());
}

TEST(QtMenuWindow, PutsTheMenuBarAboveAnUnchangedClientArea) {
  // The window, and beside it the client area alone as the layout test shows it, each with
  // rasters of its own.
  Form form(mainWindowLayout());
  Form alone(mainWindowLayout());
  Raster surface(775, 379, kWindowGrey);
  Raster aloneSurface(775, 379, kWindowGrey);
  Raster graph(258, 110, {255, 255, 255});
  Raster aloneGraph(258, 110, {255, 255, 255});
  MenuBar menus(kMainWindowMenus);
  QtMenuWindow window(form, &surface, {{"Picgraph", &graph}}, menus);
  QtFormWindow reference(alone, &aloneSurface, {{"Picgraph", &aloneGraph}});
  window.show();
  reference.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&reference));

  const int barHeight = window.menuBar().height();
  EXPECT_GT(barHeight, 10);
  EXPECT_EQ(window.menuBar().geometry(), QRect(0, 0, 775, barHeight));
  EXPECT_EQ(window.clientArea().geometry(), QRect(0, barHeight, 775, 379));
  EXPECT_EQ(window.size(), QSize(775, barHeight + 379));
  EXPECT_EQ(window.minimumSize(), window.maximumSize());
  EXPECT_EQ(window.windowTitle(), "Halvic Spectral Calibration Program - Version 1.2");

  // Every control at its layout place, counted from the client area's top left corner.
  int widgets = 0;
  for (const auto& control : form.controls()) {
    const ControlSpec& spec = control->spec();
    QWidget* shown = window.clientArea().widget(spec.name);
    if (shown == nullptr) {
      continue;  // shapes and lines
    }
    SCOPED_TRACE(std::string(spec.name));
    EXPECT_EQ(QRect(shown->mapTo(&window, QPoint(0, 0)), shown->size()),
              QRect(spec.x, spec.y + barHeight, spec.width, spec.height));
    ++widgets;
  }
  EXPECT_EQ(widgets, 42);

  // Below the menu bar the window shows exactly what the client area shows on its own.
  for (Raster* raster : {&surface, &aloneSurface}) {
    raster->plot(100, 20, kRed);
  }
  for (Form* shownForm : {&form, &alone}) {
    (*shownForm)["Shphart1"].setBorderColour(kRed);
  }
  // Only one of the two windows can be active: neither shows a focused button.
  window.clientArea().widget("cmdload")->clearFocus();
  reference.widget("cmdload")->clearFocus();
  QCoreApplication::processEvents();
  const QImage client = window.grab(QRect(0, barHeight, 775, 379)).toImage();
  const QImage expected = reference.grab().toImage();
  ASSERT_EQ(client.size(), QSize(775, 379));
  EXPECT_EQ(client.pixelColor(100, 20), QColor(Qt::red));
  EXPECT_EQ(client.pixelColor(4, 8), QColor(Qt::red));
  EXPECT_TRUE(client == expected.convertToFormat(client.format()));
}

}  // namespace
}  // namespace halvic::ui
