#include "ui/menu.h"

#include <algorithm>
#include <stdexcept>

namespace halvic::ui {

std::string MenuItem::title() const {
  std::string title;
  for (const char character : spec_.text) {
    if (character != '&') {
      title += character;
    }
  }
  while (!title.empty() && title.back() == '.') {
    title.pop_back();
  }
  return title;
}

void MenuItem::setText(std::string text) {
  if (text != text_) {
    text_ = std::move(text);
    changed();
  }
}

void MenuItem::changed() {
  if (view_ != nullptr) {
    view_->menuItemChanged(*this);
  }
}

void MenuItem::setEnabled(bool enabled) {
  if (enabled != enabled_) {
    enabled_ = enabled;
    changed();
  }
}

void MenuItem::setHandler(std::function<void()> handler) {
  onTriggered_ = std::move(handler);
  changed();
}

bool MenuItem::choose() {
  if (!enabled()) {
    return false;
  }
  if (runner_) {
    runner_(*this, onTriggered_);
  } else {
    onTriggered_();
  }
  return true;
}

MenuBar::MenuBar(std::span<const MenuItemSpec> items) {
  items_.reserve(items.size());
  for (const MenuItemSpec& spec : items) {
    items_.push_back(std::make_unique<MenuItem>(spec, runner_));
  }
}

MenuItem& MenuBar::operator[](std::string_view name) {
  for (const auto& item : items_) {
    if (item->spec().name == name) {
      return *item;
    }
  }
  throw std::logic_error("no menu item " + std::string(name));
}

MenuItem* MenuBar::find(std::string_view menu, std::string_view title) {
  for (const auto& item : items_) {
    if (item->spec().menu == menu && item->title() == title) {
      return item.get();
    }
  }
  return nullptr;
}

MenuItem& MenuBar::byTitle(std::string_view menu, std::string_view title) {
  MenuItem* item = find(menu, title);
  if (item == nullptr) {
    throw std::logic_error("no menu item " + std::string(menu) + "/" + std::string(title));
  }
  return *item;
}

std::vector<std::string_view> MenuBar::menus() const {
  std::vector<std::string_view> menus;
  for (const auto& item : items_) {
    if (std::find(menus.begin(), menus.end(), item->spec().menu) == menus.end()) {
      menus.push_back(item->spec().menu);
    }
  }
  return menus;
}

}  // namespace halvic::ui
