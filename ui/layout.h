#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <type_traits>

#include "ui/colour.h"

namespace halvic::ui {

enum class ControlKind {
  Button,
  CheckBox,
  OptionButton,
  ComboBox,   // editable drop-down list
  ScrollBar,  // horizontal, with separate scroll and change notifications
  Label,
  TextBox,
  Shape,  // rectangle with a one-pixel border and a transparent interior
  Line,
  PictureBox,
};

enum class TextAlign { Left, Centre };

/**
 * A font of the layout, as its designer named it; an empty family means the window's default font.
 * Backends map the family to a font the system ships.
 */
struct FontSpec {
  std::string_view family;
  int pointSize = 0;
  bool bold = false;
};

struct ScrollSettings {
  int16_t minimum = 0;
  int16_t maximum = 0;
  int16_t smallChange = 1;
  int16_t largeChange = 1;
  int16_t value = 0;
};

/** Width of a picture box's sunken border; its drawing area lies inside it. */
inline constexpr int kPictureBoxBorder = 2;

/** A scroll bar's range, large change and start value; its small change is 1. */
constexpr ScrollSettings scrollRange(int16_t minimum, int16_t maximum, int16_t largeChange,
                                     int16_t value) {
  return ScrollSettings{.minimum = minimum,
                        .maximum = maximum,
                        .smallChange = 1,
                        .largeChange = largeChange,
                        .value = value};
}

/** Where a control lies: x, y, width and height in pixels of the client area. */
struct Place {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

/**
 * One control of a window layout. Positions and sizes are pixels of the client area. A line runs
 * from (x, y) to (x + width, y + height). tabIndex is the place in the keyboard focus order, -1
 * for controls that take no focus.
 *
 * Layout tables are written one row a control with the builders below
 * (`button("cmdload", "Load Spectra", {16, 128, 49, 33}, 0).backedBy(kWindowGrey)`).
 */
struct ControlSpec {
  std::string_view name;
  ControlKind kind = ControlKind::Label;
  std::string_view caption;
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  int tabIndex = -1;
  FontSpec font{};
  std::optional<Rgb> foreColour{};
  std::optional<Rgb> backColour{};
  TextAlign align = TextAlign::Left;
  ScrollSettings scroll{};
  bool checked = false;  // check box or option button selected at start

  constexpr Place place() const { return {x, y, width, height}; }
  /** The drawing area of a picture box: inside its border. */
  constexpr Place drawingArea() const {
    return {x + kPictureBoxBorder, y + kPictureBoxBorder, width - 2 * kPictureBoxBorder,
            height - 2 * kPictureBoxBorder};
  }
  constexpr int right() const { return x + width; }
  constexpr int bottom() const { return y + height; }

  constexpr ControlSpec inFont(FontSpec newFont) const {
    ControlSpec spec = *this;
    spec.font = newFont;
    return spec;
  }
  constexpr ControlSpec coloured(Rgb colour) const {
    ControlSpec spec = *this;
    spec.foreColour = colour;
    return spec;
  }
  constexpr ControlSpec backedBy(Rgb colour) const {
    ControlSpec spec = *this;
    spec.backColour = colour;
    return spec;
  }
  constexpr ControlSpec centred() const {
    ControlSpec spec = *this;
    spec.align = TextAlign::Centre;
    return spec;
  }
  constexpr ControlSpec selected() const {
    ControlSpec spec = *this;
    spec.checked = true;
    return spec;
  }
};

constexpr ControlSpec placed(std::string_view name, ControlKind kind, std::string_view caption,
                             Place at, int tabIndex) {
  return ControlSpec{.name = name,
                     .kind = kind,
                     .caption = caption,
                     .x = at.x,
                     .y = at.y,
                     .width = at.width,
                     .height = at.height,
                     .tabIndex = tabIndex};
}
constexpr ControlSpec button(std::string_view name, std::string_view caption, Place at, int tab) {
  return placed(name, ControlKind::Button, caption, at, tab);
}
constexpr ControlSpec checkBox(std::string_view name, std::string_view caption, Place at, int tab) {
  return placed(name, ControlKind::CheckBox, caption, at, tab);
}
constexpr ControlSpec optionButton(std::string_view name, std::string_view caption, Place at,
                                   int tab) {
  return placed(name, ControlKind::OptionButton, caption, at, tab);
}
constexpr ControlSpec label(std::string_view name, std::string_view caption, Place at, int tab) {
  return placed(name, ControlKind::Label, caption, at, tab);
}
constexpr ControlSpec textBox(std::string_view name, Place at, int tab) {
  return placed(name, ControlKind::TextBox, {}, at, tab);
}
constexpr ControlSpec comboBox(std::string_view name, Place at, int tab) {
  return placed(name, ControlKind::ComboBox, {}, at, tab);
}
constexpr ControlSpec pictureBox(std::string_view name, Place at, int tab) {
  return placed(name, ControlKind::PictureBox, {}, at, tab);
}
constexpr ControlSpec scrollBar(std::string_view name, Place at, int tab, ScrollSettings settings) {
  ControlSpec spec = placed(name, ControlKind::ScrollBar, {}, at, tab);
  spec.scroll = settings;
  return spec;
}
/** A rectangle shape; it takes no focus. */
constexpr ControlSpec shape(std::string_view name, Place at) {
  return placed(name, ControlKind::Shape, {}, at, -1);
}
/** A line from (x, y) to (x + width, y + height); it takes no focus. */
constexpr ControlSpec line(std::string_view name, Place at) {
  return placed(name, ControlKind::Line, {}, at, -1);
}

/**
 * The row of that name in a constexpr table of rows with a `name` (controls, menu items), found
 * while the program is compiled: a name that is not in the table is not a constant expression,
 * so the program does not build.
 */
template <typename Row>
consteval const Row& rowNamed(std::span<const Row> rows, std::string_view name) {
  for (const Row& row : rows) {
    if (row.name == name) {
      return row;
    }
  }
  throw "no row of that name in the table";
}

/** The spec of the control of that name in a layout table, found while the program compiles. */
consteval const ControlSpec& specIn(std::span<const ControlSpec> controls, std::string_view name) {
  return rowNamed(controls, name);
}

/**
 * A name checked against the constexpr table Rows (a layout table, a menu table) when the
 * program is compiled, so that `window.control("cmdlaod")` does not build. Made implicitly from
 * a string literal.
 */
template <const auto& Rows>
class CheckedName {
 public:
  consteval CheckedName(const char* name)  // NOLINT(google-explicit-constructor): literals convert
      : name_(rowNamed<typename std::remove_cvref_t<decltype(Rows)>::value_type>(Rows, name).name) {
  }
  constexpr std::string_view name() const { return name_; }
  constexpr operator std::string_view() const { return name_; }  // NOLINT

 private:
  std::string_view name_;
};

/** A window: its caption, client size, background and controls. */
struct FormSpec {
  std::string_view name;
  std::string_view caption;
  int clientWidth = 0;
  int clientHeight = 0;
  Rgb background = kWindowGrey;
  std::span<const ControlSpec> controls;
};

}  // namespace halvic::ui
