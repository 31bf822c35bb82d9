#pragma once

#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace halvic::ui {

/**
 * One item of a window's menu bar as its table gives it: its name in the program ("mnuUndo",
 * checked when the program builds, as control names are), the menu it belongs to, its text as
 * shown (an ampersand before the accelerator letter, "..." when it asks for more), its shortcut
 * in the usual form ("Ctrl+E"), and whether a separator stands above it.
 */
struct MenuItemSpec {
  std::string_view name;
  std::string_view menu;
  std::string_view text;
  std::string_view shortcut;
  bool separatorBefore = false;
};

class MenuItem;

/**
 * What runs a chosen item's handler, told which item was chosen: the program installs one that
 * keeps a failed command from leaving it; without one the handler runs as it is.
 */
using MenuChoiceRunner =
    std::function<void(const MenuItem& chosen, const std::function<void()>& handler)>;

/** What a backend implements to mirror a menu item's state on screen. */
class MenuView {
 public:
  virtual ~MenuView() = default;
  virtual void menuItemChanged(const MenuItem& item) = 0;
};

/**
 * The state of one menu item, without a toolkit. An item runs its handler when chosen while it
 * is enabled and has one; an item without a handler (a command the running program does not
 * offer, such as the desktop program's own pictures in a scripted session) counts as disabled.
 */
class MenuItem {
 public:
  MenuItem(const MenuItemSpec& spec, const MenuChoiceRunner& runner)
      : spec_(spec), runner_(runner), text_(spec.text) {}
  MenuItem(const MenuItem&) = delete;
  MenuItem& operator=(const MenuItem&) = delete;

  const MenuItemSpec& spec() const { return spec_; }
  /**
   * What a script calls the item: the table's text without the ampersand and the ellipsis
   * ("Export FITS"), whatever the item shows now.
   */
  std::string title() const;
  /** The text shown, as the table writes texts: the table's own until setText changes it. */
  const std::string& text() const { return text_; }
  /** Shows text (an ampersand before the accelerator letter) in place of the table's. */
  void setText(std::string text);

  bool enabled() const { return enabled_ && static_cast<bool>(onTriggered_); }
  void setEnabled(bool enabled);
  void setHandler(std::function<void()> handler);

  /** The user chooses the item: its handler runs when enabled; false when it did nothing. */
  bool choose();

  void setView(MenuView* view) { view_ = view; }

 private:
  void changed();

  const MenuItemSpec& spec_;
  const MenuChoiceRunner& runner_;
  std::string text_;
  bool enabled_ = true;
  std::function<void()> onTriggered_;
  MenuView* view_ = nullptr;
};

/**
 * A menu bar built from its table: the items in table order, reached by their names in the
 * program (a checked name, see CheckedName) or, for scripts, by menu and title.
 */
class MenuBar {
 public:
  explicit MenuBar(std::span<const MenuItemSpec> items);
  MenuBar(const MenuBar&) = delete;
  MenuBar& operator=(const MenuBar&) = delete;

  /** Every item's handler runs through runner from now on. */
  void setChoiceRunner(MenuChoiceRunner runner) { runner_ = std::move(runner); }

  /** The item of that table name; the caller passes a name checked against the table. */
  MenuItem& operator[](std::string_view name);
  /**
   * The item of that menu and title (without ampersands and ellipsis), as a user names it: a
   * script's `menu MENU/ITEM`. nullptr when there is none; byTitle throws std::logic_error then.
   */
  MenuItem* find(std::string_view menu, std::string_view title);
  MenuItem& byTitle(std::string_view menu, std::string_view title);

  const std::vector<std::unique_ptr<MenuItem>>& items() const { return items_; }
  /** The menus in the order they first appear in the table. */
  std::vector<std::string_view> menus() const;

 private:
  MenuChoiceRunner runner_;
  std::vector<std::unique_ptr<MenuItem>> items_;
};

}  // namespace halvic::ui
