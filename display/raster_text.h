#pragma once

#include <string_view>

#include "ui/colour.h"
#include "ui/raster.h"

namespace halvic {

/** The glyphs of the plot font are this many pixels wide and high, with one pixel between. */
inline constexpr int kGlyphWidth = 5;
inline constexpr int kGlyphHeight = 7;
inline constexpr int kGlyphAdvance = kGlyphWidth + 1;

/** The width in pixels that drawRasterText takes for the text. */
int rasterTextWidth(std::string_view text);

/**
 * Draws text with its top left corner at (x, y) in the program's own small font: digits, the
 * letters of the plots' axis titles, space and + - . ( ) / %. Another character draws as a
 * hollow box, so that a missing glyph shows rather than vanishes.
 */
void drawRasterText(ui::Raster& raster, int x, int y, std::string_view text, ui::Rgb colour);

}  // namespace halvic
