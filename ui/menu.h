#pragma once

#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace halvic::ui {

/**
 * One item of a window's menu bar as its table gives it: the menu it belongs to, its text as
 * shown (an ampersand before the accelerator letter, "..." when it asks for more), its shortcut
 * in the usual form ("Ctrl+E"), and whether a separator stands above it.
 */
struct MenuItemSpec {
  std::string_view menu;
  std::string_view text;
  std::string_view shortcut;
  bool separatorBefore = false;
};

class MenuItem;

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
  explicit MenuItem(const MenuItemSpec& spec) : spec_(spec) {}
  MenuItem(const MenuItem&) = delete;
  MenuItem& operator=(const MenuItem&) = delete;

  const MenuItemSpec& spec() const { return spec_; }
  /** The item's name: its text without the ampersand and the ellipsis ("Export FITS"). */
  std::string name() const;

  bool enabled() const { return enabled_ && static_cast<bool>(onTriggered_); }
  void setEnabled(bool enabled);
  void setHandler(std::function<void()> handler);

  /** The user chooses the item: its handler runs when enabled; false when it did nothing. */
  bool choose();

  void setView(MenuView* view) { view_ = view; }

 private:
  void changed();

  const MenuItemSpec& spec_;
  bool enabled_ = true;
  std::function<void()> onTriggered_;
  MenuView* view_ = nullptr;
};

/** A menu bar built from its table: the items in table order, found by menu and name. */
class MenuBar {
 public:
  explicit MenuBar(std::span<const MenuItemSpec> items);

  /** The item of that menu and name (without ampersands and ellipsis), or nullptr. */
  MenuItem* find(std::string_view menu, std::string_view name);
  /** The item of that menu and name; they must be the table's. */
  MenuItem& operator()(std::string_view menu, std::string_view name);

  const std::vector<std::unique_ptr<MenuItem>>& items() const { return items_; }
  /** The menus in the order they first appear in the table. */
  std::vector<std::string_view> menus() const;

 private:
  std::vector<std::unique_ptr<MenuItem>> items_;
};

}  // namespace halvic::ui
