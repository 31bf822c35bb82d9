#pragma once

#include <functional>
#include <memory>
#include <string_view>
#include <vector>

#include "ui/control.h"
#include "ui/layout.h"

namespace halvic::ui {

/**
 * A window built from its layout table: one Control for each row, found by name. Option buttons
 * of one form are one exclusive group. Both backends instantiate the same Form.
 */
class Form {
 public:
  explicit Form(const FormSpec& spec);
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  const FormSpec& spec() const { return spec_; }
  std::string_view caption() const { return spec_.caption; }

  /** The control of that name, or nullptr. */
  Control* find(std::string_view name);
  const Control* find(std::string_view name) const;
  /** The control of that name; the name must be one of the layout's. */
  Control& operator[](std::string_view name);

  const std::vector<std::unique_ptr<Control>>& controls() const { return controls_; }

  bool visible() const { return visible_; }
  void show();
  void hide();
  /** Called when the form is shown or hidden; the desktop backend ends a modal loop on hide. */
  std::function<void(bool visible)> onVisibilityChanged;

  /** Clears every option button but the one given (the exclusive group). */
  void clearOtherOptions(const Control& selected);

  /**
   * What runs the user's input: each user* operation of a control of this form (a backend's or a
   * script's) runs its whole effect, events included, through the runner, told which control the
   * user acted on. The program installs one that keeps a failed command from leaving it; without
   * one the action runs as it is. Events a handler raises by program do not pass through it.
   */
  using UserActionRunner =
      std::function<void(const Control& source, const std::function<void()>& action)>;
  void setUserActionRunner(UserActionRunner runner) { runner_ = std::move(runner); }
  void runUserAction(const Control& source, const std::function<void()>& action);

 private:
  const FormSpec& spec_;
  std::vector<std::unique_ptr<Control>> controls_;
  bool visible_ = false;
  UserActionRunner runner_;
};

}  // namespace halvic::ui
