#pragma once

#include <QByteArray>
#include <functional>
#include <optional>
#include <string_view>

#include "ui/printer.h"

namespace halvic::ui {

/** The kinds of file a page can be saved as. */
enum class PageImageFormat { Png, Svg, Pdf };

/**
 * The page an image file holds: a landscape letter page at 150 dots an inch, 1650 by 1275 pixels
 * (PNG) or units (SVG); a PDF holds a landscape letter page at its writer's resolution.
 */
inline constexpr int kPageImageWidth = 1650;
inline constexpr int kPageImageHeight = 1275;
inline constexpr int kPageImageDotsPerInch = 150;

/** The format a file name asks for by its extension (".png", ".svg", ".pdf", in either case). */
std::optional<PageImageFormat> pageImageFormatOf(std::string_view path);

/**
 * The whole file of one page in format: draw is called once with a canvas over a page of that
 * format (white, landscape) and says whether it drew the page. nullopt when draw returns false
 * or the page cannot be made; nothing is written anywhere.
 */
std::optional<QByteArray> drawPageImage(PageImageFormat format,
                                        const std::function<bool(PrinterCanvas&)>& draw);

}  // namespace halvic::ui
