#pragma once

#include <QAction>
#include <QMenuBar>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "ui/menu.h"

namespace halvic::ui {

/**
 * A QMenuBar mirroring a MenuBar: one QMenu a menu, in the table's order, its title with an
 * accelerator on its first letter ("&File"); one QAction an item, with the item's text and its
 * accelerator, its shortcut, and a separator above it where the table puts one. An action is
 * enabled exactly when its item is (MenuItem::enabled) and shows the item's text, both kept in
 * step as the item changes, and choosing it chooses the item. The menu bar must outlive this
 * widget.
 */
class QtMenuBar : public QMenuBar, public MenuView {
 public:
  explicit QtMenuBar(MenuBar& menus, QWidget* parent = nullptr);
  ~QtMenuBar() override;
  QtMenuBar(const QtMenuBar&) = delete;
  QtMenuBar& operator=(const QtMenuBar&) = delete;

  /** The action of an item, by menu and title as MenuBar::find takes them, or nullptr. */
  QAction* action(std::string_view menu, std::string_view title) const;

  void menuItemChanged(const MenuItem& item) override;

 private:
  MenuBar& menus_;
  std::unordered_map<const MenuItem*, QAction*> actions_;
  std::vector<MenuItem*> mirrored_;
};

}  // namespace halvic::ui
