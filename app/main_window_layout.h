#pragma once

#include "ui/layout.h"

namespace halvic {

/** The main window: caption, 775 x 379 client area, every control in one table. */
const ui::FormSpec& mainWindowLayout();

/** The contrast dialog `frmcontrast`. */
const ui::FormSpec& contrastDialogLayout();

/** The font of the layout's two headings, standing in for "MS Sans Serif" 12 point bold. */
inline constexpr ui::FontSpec kHeadingFont{"MS Sans Serif", 12, true};

}  // namespace halvic
