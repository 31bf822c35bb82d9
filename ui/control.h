#pragma once

#include <functional>
#include <string>
#include <vector>

#include "ui/colour.h"
#include "ui/layout.h"

namespace halvic::ui {

class Form;
class Control;

/**
 * What a backend implements to mirror a control's state on screen. Setting a colour or the
 * visibility to what it already is tells the view nothing, so that a handler that sets them on
 * every run (the frame colours of the current image) repaints nothing that did not change.
 */
class ControlView {
 public:
  virtual ~ControlView() = default;
  virtual void controlChanged(const Control& control) = 0;
};

/**
 * The state and behaviour of one control, without a toolkit: captions, values, colours, list
 * entries, the clamping of scroll bars and the exclusive option group. The logic reads and writes
 * controls only through this class; a backend mirrors it on screen and feeds user input back
 * through the user* operations, which raise the same events the program's handlers listen to.
 */
class Control {
 public:
  Control(const ControlSpec& spec, Form& owner);
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  const ControlSpec& spec() const { return spec_; }
  std::string_view name() const { return spec_.name; }
  ControlKind kind() const { return spec_.kind; }

  /** Caption of a label, button, check box or option button; text of a text box or combo box. */
  const std::string& caption() const { return caption_; }
  void setCaption(std::string caption);

  /** Text colour of labels. */
  Rgb foreColour() const { return foreColour_; }
  void setForeColour(Rgb colour);
  /** Border colour of shapes and lines. */
  Rgb borderColour() const { return borderColour_; }
  void setBorderColour(Rgb colour);

  /**
   * Value of a check box or option button (0 or 1) or of a scroll bar. Setting a scroll bar
   * clamps to its range and raises Change when the value changes; setting an option button to 1
   * clears the others of its window. Setting by program raises no Click.
   */
  int value() const { return value_; }
  void setValue(int value);
  /**
   * Sets the value (clamped) and shows it without raising any event: for the program putting a
   * control back in step with the workspace rather than acting on it.
   */
  void setValueWithoutEvents(int value);

  int minimum() const { return minimum_; }
  int maximum() const { return maximum_; }
  int largeChange() const { return largeChange_; }
  int smallChange() const { return smallChange_; }
  /** A new maximum; a value above it moves down and raises Change. */
  void setMaximum(int maximum);

  /** Combo box entries; listIndex is -1 when nothing is selected. */
  const std::vector<std::string>& items() const { return items_; }
  void addItem(std::string item);
  int listIndex() const { return listIndex_; }
  /** Selecting an entry by program raises Click, as a user's choice does. */
  void setListIndex(int index);

  bool visible() const { return visible_; }
  void setVisible(bool visible);

  /** What the control does, shown when the pointer rests on it. */
  const std::string& toolTip() const { return toolTip_; }
  void setToolTip(std::string toolTip);

  // Events raised to the program's handlers.
  std::function<void()> onClick;
  std::function<void()> onScroll;
  std::function<void()> onChange;

  // User input, from a backend or the script driver.
  /** A button click; a check box toggles; an option button is selected. Then Click. */
  void userClick();
  /** The user picks entry index of a combo box: select it, then Click. */
  void userSelect(int index);
  /** The thumb is dragged to value: set it (clamped), then Scroll. */
  void userScroll(int value);
  /** The drag ends: Change. */
  void userRelease();
  /** An arrow or track click landing on value: set it (clamped), Change if it moved. */
  void userSet(int value);
  /** The user edits a text box. */
  void userEditText(std::string text);

  void setView(ControlView* view) { view_ = view; }

 private:
  int clamp(int value) const;
  void changed();
  static void raise(const std::function<void()>& event);

  const ControlSpec& spec_;
  Form& owner_;
  std::string caption_;
  Rgb foreColour_ = kBlack;
  Rgb borderColour_ = kBlack;
  int value_ = 0;
  int minimum_ = 0;
  int maximum_ = 0;
  int smallChange_ = 1;
  int largeChange_ = 1;
  std::vector<std::string> items_;
  int listIndex_ = -1;
  bool visible_ = true;
  std::string toolTip_;
  ControlView* view_ = nullptr;
};

}  // namespace halvic::ui
