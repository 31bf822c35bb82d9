#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

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

/**
 * One control of a window layout. Positions and sizes are pixels of the client area. A line runs
 * from (x, y) to (x + width, y + height). tabIndex is the place in the keyboard focus order, -1
 * for controls that take no focus.
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
