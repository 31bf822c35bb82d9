#include "ui/form.h"

#include <stdexcept>
#include <string>

namespace halvic::ui {

Form::Form(const FormSpec& spec) : spec_(spec) {
  controls_.reserve(spec.controls.size());
  for (const ControlSpec& control : spec.controls) {
    controls_.push_back(std::make_unique<Control>(control, *this));
  }
}

Control* Form::find(std::string_view name) {
  for (const auto& control : controls_) {
    if (control->name() == name) {
      return control.get();
    }
  }
  return nullptr;
}

const Control* Form::find(std::string_view name) const {
  return const_cast<Form*>(this)->find(name);
}

Control& Form::operator[](std::string_view name) {
  Control* control = find(name);
  if (control == nullptr) {
    throw std::logic_error("no control named " + std::string(name));
  }
  return *control;
}

void Form::runUserAction(const Control& source, const std::function<void()>& action) {
  if (runner_) {
    runner_(source, action);
  } else {
    action();
  }
}

void Form::show() {
  visible_ = true;
  if (onVisibilityChanged) {
    onVisibilityChanged(true);
  }
}

void Form::hide() {
  visible_ = false;
  if (onVisibilityChanged) {
    onVisibilityChanged(false);
  }
}

void Form::clearOtherOptions(const Control& selected) {
  for (const auto& control : controls_) {
    if (control.get() != &selected && control->kind() == ControlKind::OptionButton &&
        control->value() != 0) {
      control->setValue(0);
    }
  }
}

}  // namespace halvic::ui
