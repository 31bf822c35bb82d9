#include "ui/qt/qt_look.h"

#include <QApplication>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleFactory>
#include <QStyleOption>
#include <cmath>
#include <cstdlib>

namespace halvic::ui {

namespace {

// The layout's default font: "MS Sans Serif" at 8 points.
constexpr int kLayoutDefaultPointSize = 8;
// Pixels for one layout point: the layout was drawn at 96 dots per inch.
constexpr double kPixelsPerPoint = 96.0 / 72.0;

// Gap between a check box's or option button's indicator and its caption: Fusion's 6 pixels leave
// "Expand Spectra" one pixel short of its 97-pixel control.
constexpr int kIndicatorLabelSpacing = 4;

// Shortest scroll bar thumb. Fusion's own minimum fills almost all of the 57-pixel crop bars'
// track, leaving the thumb a few pixels to travel over 20 rows.
constexpr int kScrollThumbMinimum = 10;

// The focus frame of a scroll bar, drawn over its outermost pixels.
constexpr int kFocusFrameWidth = 1;

/**
 * Fusion, with the tighter caption gap the layout's check boxes were sized for, thumbs short
 * enough to drag along the layout's small scroll bars, and a focus frame on the scroll bar that
 * has the keyboard (Fusion draws none, so arrow keys would move a bar nobody sees chosen).
 */
class DesktopStyle : public QProxyStyle {
 public:
  DesktopStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}

  int pixelMetric(PixelMetric metric, const QStyleOption* option,
                  const QWidget* widget) const override {
    if (metric == PM_CheckBoxLabelSpacing || metric == PM_RadioButtonLabelSpacing) {
      return kIndicatorLabelSpacing;
    }
    if (metric == PM_ScrollBarSliderMin) {
      return kScrollThumbMinimum;
    }
    return QProxyStyle::pixelMetric(metric, option, widget);
  }

  void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                          QPainter* painter, const QWidget* widget) const override {
    QProxyStyle::drawComplexControl(control, option, painter, widget);
    if (control == CC_ScrollBar && option->state.testFlag(State_HasFocus)) {
      // Over the bar's outer line only: the bar is drawn as ever inside it.
      painter->save();
      painter->setPen(QPen(option->palette.color(QPalette::Highlight), kFocusFrameWidth));
      painter->setBrush(Qt::NoBrush);
      painter->drawRect(QRectF(option->rect).adjusted(0.5, 0.5, -0.5, -0.5));
      painter->restore();
    }
  }
};

bool isSetAndNotEmpty(const char* value) { return value != nullptr && value[0] != '\0'; }

}  // namespace

bool displayAvailable(const EnvironmentLookup& lookup) {
  return isSetAndNotEmpty(lookup("QT_QPA_PLATFORM")) || isSetAndNotEmpty(lookup("DISPLAY")) ||
         isSetAndNotEmpty(lookup("WAYLAND_DISPLAY"));
}

bool displayAvailable() {
  return displayAvailable([](const char* name) { return std::getenv(name); });
}

QFont desktopFont(const FontSpec& font) {
  const int points = font.pointSize > 0 ? font.pointSize : kLayoutDefaultPointSize;
  QFont result(kDesktopFontFamily);
  result.setStyleHint(QFont::SansSerif);
  result.setPixelSize(static_cast<int>(std::lround(points * kPixelsPerPoint)));
  result.setBold(font.bold);
  return result;
}

void applyDesktopLook(QApplication& application) {
  application.setStyle(new DesktopStyle);  // the application owns its style
  application.setFont(desktopFont(FontSpec{}));
}

QString shownText(std::string_view text) {
  QString result = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  result.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return result;
}

}  // namespace halvic::ui
