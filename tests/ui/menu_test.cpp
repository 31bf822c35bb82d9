#include "ui/menu.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace halvic::ui {
namespace {

constexpr std::array kMenus{
    MenuItemSpec{"mnuLoad", "File", "&Load Spectra...", "Ctrl+O"},
    MenuItemSpec{"mnuExit", "File", "E&xit", "Ctrl+Q"},
    MenuItemSpec{"mnuAbout", "Help", "&About", ""},
    MenuItemSpec{"mnuVersion", "Help", "Version 1.2...", ""},
};

TEST(MenuItem, IsTitledByItsTableTextWithoutAmpersandsAndEllipsisWhateverItShows) {
  MenuBar bar(kMenus);
  bar["mnuExit"].setText("E&xit now");
  std::vector<std::string> titles;
  for (const auto& item : bar.items()) {
    titles.push_back(item->title());
  }
  EXPECT_EQ(titles, (std::vector<std::string>{"Load Spectra", "Exit", "About", "Version 1.2"}));
  EXPECT_EQ(bar.find("File", "Exit"), &bar["mnuExit"]);
  EXPECT_EQ(bar["mnuExit"].text(), "E&xit now");
  EXPECT_EQ(bar.menus(), (std::vector<std::string_view>{"File", "Help"}));
}

TEST(MenuItem, RunsItsHandlerOnlyWhenItHasOneAndIsEnabled) {
  struct Row {
    std::string name;
    bool withHandler;
    bool enabled;
    bool runs;
  };
  const std::vector<Row> rows{
      {"handler, enabled", true, true, true},
      {"handler, disabled", true, false, false},
      {"no handler: not offered here", false, true, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    MenuBar bar(kMenus);
    MenuItem& item = bar["mnuLoad"];
    int runs = 0;
    if (row.withHandler) {
      item.setHandler([&runs] { ++runs; });
    }
    item.setEnabled(row.enabled);
    EXPECT_EQ(item.enabled(), row.runs);
    EXPECT_EQ(item.choose(), row.runs);
    EXPECT_EQ(runs, row.runs ? 1 : 0);
  }
  MenuBar bar(kMenus);
  EXPECT_EQ(bar.find("Help", "Load Spectra"), nullptr);
  EXPECT_EQ(bar.find("File", "&Load Spectra..."), nullptr);
}

}  // namespace
}  // namespace halvic::ui
