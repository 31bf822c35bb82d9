#include "ui/control.h"

#include <algorithm>
#include <cassert>

#include "ui/form.h"

namespace halvic::ui {

Control::Control(const ControlSpec& spec, Form& owner)
    : spec_(spec),
      owner_(owner),
      caption_(spec.caption),
      foreColour_(spec.foreColour.value_or(kBlack)),
      value_(spec.kind == ControlKind::ScrollBar ? spec.scroll.value : (spec.checked ? 1 : 0)),
      minimum_(spec.scroll.minimum),
      maximum_(spec.scroll.maximum),
      smallChange_(spec.scroll.smallChange),
      largeChange_(spec.scroll.largeChange) {}

void Control::raise(const std::function<void()>& event) {
  if (event) {
    event();
  }
}

void Control::changed() {
  if (view_ != nullptr) {
    view_->controlChanged(*this);
  }
}

void Control::setCaption(std::string caption) {
  caption_ = std::move(caption);
  changed();
}

void Control::setForeColour(Rgb colour) {
  if (foreColour_ == colour) {
    return;
  }
  foreColour_ = colour;
  changed();
}

void Control::setBorderColour(Rgb colour) {
  if (borderColour_ == colour) {
    return;
  }
  borderColour_ = colour;
  changed();
}

int Control::clamp(int value) const {
  return std::clamp(value, std::min(minimum_, maximum_), std::max(minimum_, maximum_));
}

void Control::setValue(int value) {
  switch (kind()) {
    case ControlKind::ScrollBar: {
      const int clamped = clamp(value);
      if (clamped == value_) {
        return;
      }
      value_ = clamped;
      changed();
      raise(onChange);
      return;
    }
    case ControlKind::OptionButton:
      value_ = value != 0 ? 1 : 0;
      if (value_ == 1) {
        owner_.clearOtherOptions(*this);
      }
      changed();
      return;
    default:
      value_ = value;
      changed();
      return;
  }
}

void Control::setValueWithoutEvents(int value) {
  value_ = kind() == ControlKind::ScrollBar ? clamp(value) : value;
  changed();
}

void Control::setMaximum(int maximum) {
  maximum_ = maximum;
  changed();
  setValue(value_);  // a value beyond the new end moves with it
}

void Control::addItem(std::string item) {
  items_.push_back(std::move(item));
  changed();
}

void Control::setListIndex(int index) {
  if (index < -1 || index >= static_cast<int>(items_.size())) {
    return;
  }
  listIndex_ = index;
  caption_ = index >= 0 ? items_[static_cast<size_t>(index)] : std::string();
  changed();
  raise(onClick);
}

void Control::setToolTip(std::string toolTip) {
  if (toolTip != toolTip_) {
    toolTip_ = std::move(toolTip);
    changed();
  }
}

void Control::setVisible(bool visible) {
  if (visible_ == visible) {
    return;
  }
  visible_ = visible;
  changed();
}

void Control::userClick() {
  owner_.runUserAction(*this, [this] {
    switch (kind()) {
      case ControlKind::CheckBox:
        value_ = value_ == 0 ? 1 : 0;
        changed();
        break;
      case ControlKind::OptionButton:
        setValue(1);
        break;
      default:
        break;
    }
    raise(onClick);
  });
}

void Control::userSelect(int index) {
  owner_.runUserAction(*this, [this, index] { setListIndex(index); });
}

void Control::userScroll(int value) {
  owner_.runUserAction(*this, [this, value] {
    value_ = clamp(value);
    changed();
    raise(onScroll);
  });
}

void Control::userRelease() {
  owner_.runUserAction(*this, [this] { raise(onChange); });
}

void Control::userSet(int value) {
  owner_.runUserAction(*this, [this, value] { setValue(value); });
}

void Control::userEditText(std::string text) {
  caption_ = std::move(text);
  changed();
}

}  // namespace halvic::ui
