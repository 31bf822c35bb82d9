#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "ui/form.h"

namespace halvic::ui {
namespace {

constexpr std::array kControls{
    ControlSpec{.name = "bar",
                .kind = ControlKind::ScrollBar,
                .scroll = ScrollSettings{.minimum = 1, .maximum = 20, .value = 5}},
    ControlSpec{.name = "first", .kind = ControlKind::OptionButton, .checked = true},
    ControlSpec{.name = "second", .kind = ControlKind::OptionButton},
    ControlSpec{.name = "box", .kind = ControlKind::CheckBox},
    ControlSpec{.name = "list", .kind = ControlKind::ComboBox},
};
constexpr FormSpec kForm{.name = "test", .controls = kControls};

/** Records which events a control raised, in order. */
struct EventLog {
  std::vector<std::string> events;
  void attach(Control& control) {
    control.onClick = [this, &control] { events.push_back("click " + control.caption()); };
    control.onScroll = [this, &control] {
      events.push_back("scroll " + std::to_string(control.value()));
    };
    control.onChange = [this, &control] {
      events.push_back("change " + std::to_string(control.value()));
    };
  }
};

TEST(ScrollBarTest, ValuesAreClampedAndChangeIsRaisedOnlyWhenTheValueMoves) {
  struct Row {
    const char* action;
    int argument;
    int expectedValue;
    std::vector<std::string> expectedEvents;
  };
  const std::vector<Row> rows{
      {"set", 5, 5, {}},
      {"set", 7, 7, {"change 7"}},
      {"set", 99, 20, {"change 20"}},
      {"set", -4, 1, {"change 1"}},
      {"userSet", 5, 5, {}},
      {"userSet", 6, 6, {"change 6"}},
      {"userScroll", 30, 20, {"scroll 20"}},
      {"userRelease", 0, 5, {"change 5"}},
      {"quiet", 12, 12, {}},
      {"maximum", 3, 3, {"change 3"}},
      {"maximum", 30, 5, {}},
  };
  int checked = 0;
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.action) + " " + std::to_string(row.argument));
    Form form(kForm);
    Control& bar = form["bar"];
    EventLog log;
    log.attach(bar);
    const std::string action = row.action;
    if (action == "set") {
      bar.setValue(row.argument);
    } else if (action == "userSet") {
      bar.userSet(row.argument);
    } else if (action == "userScroll") {
      bar.userScroll(row.argument);
    } else if (action == "userRelease") {
      bar.userRelease();
    } else if (action == "quiet") {
      bar.setValueWithoutEvents(row.argument);
    } else {
      bar.setMaximum(row.argument);
    }
    EXPECT_EQ(bar.value(), row.expectedValue);
    EXPECT_EQ(log.events, row.expectedEvents);
    ++checked;
  }
  EXPECT_EQ(checked, 11);
}

TEST(ScrollBarTest, AHandlerThatMovesTheBarRaisesChangeAgain) {
  Form form(kForm);
  Control& bar = form["bar"];
  std::vector<int> seen;
  bar.onScroll = [&] {
    if (bar.value() > 10) {
      bar.setValue(10);
    }
  };
  bar.onChange = [&] { seen.push_back(bar.value()); };
  bar.userScroll(15);
  EXPECT_EQ(bar.value(), 10);
  EXPECT_EQ(seen, std::vector<int>{10});
}

TEST(OptionGroupTest, SelectingOneClearsTheOthersAndRaisesItsClick) {
  Form form(kForm);
  EventLog log;
  log.attach(form["second"]);
  form["second"].userClick();
  EXPECT_EQ(form["first"].value(), 0);
  EXPECT_EQ(form["second"].value(), 1);
  EXPECT_EQ(log.events.size(), 1U);
  form["first"].setValue(1);
  EXPECT_EQ(form["second"].value(), 0);
  EXPECT_EQ(log.events.size(), 1U) << "a value set by the program raises no click";
}

TEST(CheckBoxTest, AClickTogglesBeforeTheHandlerRuns) {
  Form form(kForm);
  Control& box = form["box"];
  std::vector<int> valuesSeen;
  box.onClick = [&] { valuesSeen.push_back(box.value()); };
  box.userClick();
  box.userClick();
  EXPECT_EQ(valuesSeen, (std::vector<int>{1, 0}));
}

TEST(ComboBoxTest, SelectingByProgramRaisesClickWithTheEntryShown) {
  Form form(kForm);
  Control& list = form["list"];
  list.addItem("one");
  list.addItem("two");
  EventLog log;
  log.attach(list);
  EXPECT_EQ(list.listIndex(), -1);
  list.setListIndex(1);
  list.setListIndex(5);  // no such entry: ignored
  EXPECT_EQ(list.listIndex(), 1);
  EXPECT_EQ(log.events, std::vector<std::string>{"click two"});
}

/** Counts what a control tells its view. */
struct ViewLog : ControlView {
  int changes = 0;
  void controlChanged(const Control& /*control*/) override { ++changes; }
};

TEST(ControlViewTest, AColourOrVisibilitySetToWhatItIsTellsTheViewNothing) {
  struct Row {
    const char* name;
    void (*set)(Control&);
    int expectedChanges;
  };
  // A control starts with black text and border and visible.
  const std::vector<Row> rows{
      {"fore colour as it is", [](Control& c) { c.setForeColour(kBlack); }, 0},
      {"fore colour changed", [](Control& c) { c.setForeColour(kRed); }, 1},
      {"border colour as it is", [](Control& c) { c.setBorderColour(kBlack); }, 0},
      {"border colour changed", [](Control& c) { c.setBorderColour(kRed); }, 1},
      {"shown while shown", [](Control& c) { c.setVisible(true); }, 0},
      {"hidden", [](Control& c) { c.setVisible(false); }, 1},
      {"changed and set back",
       [](Control& c) {
         c.setBorderColour(kGreen);
         c.setBorderColour(kGreen);
         c.setBorderColour(kBlack);
       },
       2},
  };
  int checked = 0;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Form form(kForm);
    Control& box = form["box"];
    ASSERT_EQ(box.foreColour(), kBlack);
    ASSERT_EQ(box.borderColour(), kBlack);
    ASSERT_TRUE(box.visible());
    ViewLog view;
    box.setView(&view);
    row.set(box);
    EXPECT_EQ(view.changes, row.expectedChanges);
    ++checked;
  }
  EXPECT_EQ(checked, 7);
}

TEST(FormTest, FindsControlsByNameOnly) {
  Form form(kForm);
  EXPECT_NE(form.find("bar"), nullptr);
  EXPECT_EQ(form.find("Bar"), nullptr);
  EXPECT_THROW(form["nothing"], std::logic_error);
}

}  // namespace
}  // namespace halvic::ui
