#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <functional>
#include <string_view>

#include "ui/colour.h"
#include "ui/layout.h"

class QApplication;

namespace halvic::ui {

/** Reads one environment variable; nullptr when it is not set. */
using EnvironmentLookup = std::function<const char*(const char* name)>;

/**
 * Whether a window system can be reached, decided before QApplication exists (which aborts the
 * process when it finds none): true when QT_QPA_PLATFORM names a platform, or DISPLAY or
 * WAYLAND_DISPLAY is set and not empty.
 */
bool displayAvailable();
/** The same decision with the environment read through lookup. */
bool displayAvailable(const EnvironmentLookup& lookup);

/**
 * The font family that stands in for the layout's "MS Sans Serif": a sans font Debian ships
 * (fonts-liberation) whose widths are close to the layout's font, so that captions keep their
 * width whatever the desktop's theme or locale.
 */
inline constexpr const char* kDesktopFontFamily = "Liberation Sans";

/**
 * A layout font mapped to a font this system has. Sizes are set in pixels as the layout's font
 * measured at 96 dots per inch, because the layout itself is in pixels: a screen that claims
 * another resolution must not make captions outgrow their controls.
 */
QFont desktopFont(const FontSpec& font);

/** Fusion style and the default layout font for the whole application. */
void applyDesktopLook(QApplication& application);

/**
 * Model text as Qt text: UTF-8, with the CR LF of multi-line captions as line breaks. The one
 * conversion of the Qt backend, for captions, dialogs, printed text and widget names alike.
 */
QString shownText(std::string_view text);

inline QColor toQColor(Rgb colour) { return {colour.red, colour.green, colour.blue}; }

}  // namespace halvic::ui
