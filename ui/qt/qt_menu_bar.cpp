#include "ui/qt/qt_menu_bar.h"

#include <QKeySequence>
#include <QMenu>

#include "ui/qt/qt_look.h"

namespace halvic::ui {

namespace {

/** "File" as "&File": Alt and the first letter open the menu. */
QString menuTitle(std::string_view menu) {
  const QString title = shownText(menu);
  return title.contains(QLatin1Char('&')) ? title : QStringLiteral("&") + title;
}

}  // namespace

QtMenuBar::QtMenuBar(MenuBar& menus, QWidget* parent) : QMenuBar(parent), menus_(menus) {
  for (const std::string_view menuName : menus.menus()) {
    QMenu* menu = addMenu(menuTitle(menuName));
    for (const auto& item : menus.items()) {
      const MenuItemSpec& spec = item->spec();
      if (spec.menu != menuName) {
        continue;
      }
      if (spec.separatorBefore && !menu->isEmpty()) {
        menu->addSeparator();
      }
      QAction* action = menu->addAction(shownText(item->text()));
      if (!spec.shortcut.empty()) {
        action->setShortcut(QKeySequence(shownText(spec.shortcut), QKeySequence::PortableText));
      }
      action->setEnabled(item->enabled());
      MenuItem* chosen = item.get();
      connect(action, &QAction::triggered, this, [chosen] { chosen->choose(); });
      actions_.emplace(chosen, action);
      mirrored_.push_back(chosen);
      chosen->setView(this);
    }
  }
}

QtMenuBar::~QtMenuBar() {
  for (MenuItem* item : mirrored_) {
    item->setView(nullptr);
  }
}

QAction* QtMenuBar::action(std::string_view menu, std::string_view title) const {
  const MenuItem* item = menus_.find(menu, title);
  if (item == nullptr) {
    return nullptr;
  }
  const auto found = actions_.find(item);
  return found == actions_.end() ? nullptr : found->second;
}

void QtMenuBar::menuItemChanged(const MenuItem& item) {
  const auto found = actions_.find(&item);
  if (found != actions_.end()) {
    found->second->setEnabled(item.enabled());
    found->second->setText(shownText(item.text()));
  }
}

}  // namespace halvic::ui
