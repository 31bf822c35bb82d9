#include "ui/qt/qt_form_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <algorithm>
#include <stdexcept>
#include <utility>
#include <vector>

#include "ui/qt/qt_look.h"

namespace halvic::ui {

namespace {

QRect specRect(const ControlSpec& spec) { return {spec.x, spec.y, spec.width, spec.height}; }

/** Where a shape or a line paints: its rectangle, one pixel beyond for a line's end point. */
QRect graphicalExtent(const ControlSpec& spec) {
  return specRect(spec).normalized().adjusted(-1, -1, 1, 1);
}

bool takesFocus(ControlKind kind) {
  switch (kind) {
    case ControlKind::Button:
    case ControlKind::CheckBox:
    case ControlKind::OptionButton:
    case ControlKind::ComboBox:
    case ControlKind::ScrollBar:
    case ControlKind::TextBox:
      return true;
    default:
      return false;
  }
}

/**
 * Whether a scroll bar action is an arrow, track or key step (or a wheel turn) rather than the
 * thumb being dragged, which reports itself through sliderMoved.
 */
bool isStepAction(int action, const QScrollBar& bar) {
  if (action == QAbstractSlider::SliderNoAction) {
    return false;
  }
  return action != QAbstractSlider::SliderMove || !bar.isSliderDown();
}

void setPaletteColour(QWidget& widget, QPalette::ColorRole role, Rgb colour) {
  QPalette palette = widget.palette();
  const QColor wanted = toQColor(colour);
  // Setting an equal palette still costs Qt a resolve, and labels are mirrored on every change.
  // Only a colour set here before counts as set: an inherited one would follow the desktop's.
  const auto alreadySet = [&](QPalette::ColorGroup group) {
    return palette.isBrushSet(group, role) && palette.color(group, role) == wanted;
  };
  if (alreadySet(QPalette::Active) && alreadySet(QPalette::Inactive) &&
      alreadySet(QPalette::Disabled)) {
    return;
  }
  palette.setColor(role, wanted);
  widget.setPalette(palette);
}

/** The one-pixel border of a rectangle shape, its last row and column inside width x height. */
void paintShapeBorder(QPainter& painter, const QRect& rect, const QColor& colour) {
  if (rect.width() <= 0 || rect.height() <= 0) {
    return;
  }
  painter.fillRect(QRect(rect.left(), rect.top(), rect.width(), 1), colour);
  painter.fillRect(QRect(rect.left(), rect.bottom(), rect.width(), 1), colour);
  painter.fillRect(QRect(rect.left(), rect.top(), 1, rect.height()), colour);
  painter.fillRect(QRect(rect.right(), rect.top(), 1, rect.height()), colour);
}

// Each control's widget is a child of the window, its signals routed into the control's user
// input operations.

QWidget* createButton(QWidget& window, Control& control) {
  auto* button = new WrappingButton(&window);
  button->setAutoDefault(false);  // Return in a text box must not press a button
  QObject::connect(button, &QPushButton::clicked, &window, [&control] { control.userClick(); });
  if (control.spec().backColour) {
    setPaletteColour(*button, QPalette::Button, *control.spec().backColour);
  }
  return button;
}

/** A check box, or an option button whose group the form keeps rather than Qt. */
QWidget* createCheckable(QWidget& window, Control& control) {
  QAbstractButton* button = nullptr;
  if (control.kind() == ControlKind::OptionButton) {
    auto* option = new QRadioButton(&window);
    option->setAutoExclusive(false);
    button = option;
  } else {
    button = new QCheckBox(&window);
  }
  // Qt has toggled the widget already; the control toggles its own value and mirrors it back.
  QObject::connect(button, &QAbstractButton::clicked, &window, [&control] { control.userClick(); });
  return button;
}

QWidget* createComboBox(QWidget& window, Control& control) {
  auto* combo = new FocusWheelComboBox(&window);
  combo->setEditable(true);
  combo->setInsertPolicy(QComboBox::NoInsert);  // the entries belong to the control
  combo->setCompleter(nullptr);
  QObject::connect(combo, &QComboBox::activated, &window,
                   [&control](int index) { control.userSelect(index); });
  QObject::connect(combo->lineEdit(), &QLineEdit::textEdited, &window,
                   [&control](const QString& text) { control.userEditText(text.toStdString()); });
  return combo;
}

/**
 * Dragging the thumb scrolls and its release changes; every other action (arrows, track, keys,
 * wheel) sets the value where Qt moved the thumb, and the control decides what it becomes.
 */
QWidget* createScrollBar(QWidget& window, Control& control) {
  auto* bar = new HorizontalScrollBar(&window);
  QObject::connect(bar, &QScrollBar::sliderMoved, &window,
                   [&control](int value) { control.userScroll(value); });
  QObject::connect(bar, &QScrollBar::sliderReleased, &window,
                   [&control] { control.userRelease(); });
  QObject::connect(bar, &QScrollBar::actionTriggered, &window, [&control, bar](int action) {
    if (isStepAction(action, *bar)) {
      control.userSet(bar->sliderPosition());
    }
  });
  return bar;
}

QWidget* createLabel(QWidget& window, const ControlSpec& spec) {
  auto* label = new QLabel(&window);
  label->setTextFormat(Qt::PlainText);
  label->setWordWrap(true);
  label->setAlignment(spec.align == TextAlign::Centre ? Qt::AlignHCenter | Qt::AlignTop
                                                      : Qt::AlignLeft | Qt::AlignTop);
  if (spec.backColour) {
    label->setAutoFillBackground(true);
    setPaletteColour(*label, QPalette::Window, *spec.backColour);
  }
  return label;
}

QWidget* createTextBox(QWidget& window, Control& control) {
  auto* edit = new QLineEdit(&window);
  QObject::connect(edit, &QLineEdit::textEdited, &window,
                   [&control](const QString& text) { control.userEditText(text.toStdString()); });
  return edit;
}

void mirrorItems(QComboBox& combo, const std::vector<std::string>& items) {
  const auto count = static_cast<int>(items.size());
  int kept = 0;
  while (kept < std::min(count, combo.count()) &&
         combo.itemText(kept) == shownText(items[static_cast<size_t>(kept)])) {
    ++kept;
  }
  while (combo.count() > kept) {
    combo.removeItem(combo.count() - 1);
  }
  for (int index = kept; index < count; ++index) {
    combo.addItem(shownText(items[static_cast<size_t>(index)]));
  }
}

void mirrorComboBox(QComboBox& combo, const Control& control) {
  mirrorItems(combo, control.items());
  if (combo.currentIndex() != control.listIndex()) {
    combo.setCurrentIndex(control.listIndex());
  }
  const QString text = shownText(control.caption());
  if (combo.currentText() != text) {
    combo.setEditText(text);
  }
}

void mirrorScrollBar(QScrollBar& bar, const Control& control) {
  // A maximum below the minimum runs the bar the other way: the minimum stays at the left. Set
  // only when it differs, since setting it repaints the bar even when nothing changes.
  const bool inverted = control.maximum() < control.minimum();
  if (bar.invertedAppearance() != inverted) {
    bar.setInvertedAppearance(inverted);
  }
  bar.setRange(std::min(control.minimum(), control.maximum()),
               std::max(control.minimum(), control.maximum()));
  bar.setSingleStep(control.smallChange());
  bar.setPageStep(control.largeChange());
  bar.setValue(control.value());
}

void setToolTipText(QWidget& widget, const QString& tip) {
  if (widget.toolTip() != tip) {
    widget.setToolTip(tip);
  }
}

/** A text too long for its label shows elided, and then the whole of it is the label's tip. */
void mirrorLabel(QLabel& label, const Control& control) {
  const QString whole = shownText(control.caption());
  const std::optional<QString> elided =
      elidedToFit(whole, label.fontMetrics(), label.contentsRect().size());
  label.setText(elided.value_or(whole));
  setToolTipText(label, elided ? whole : shownText(control.toolTip()));
  setPaletteColour(label, QPalette::WindowText, control.foreColour());
}

void mirrorTextBox(QLineEdit& edit, const Control& control) {
  const QString text = shownText(control.caption());
  if (edit.text() != text) {
    edit.setText(text);
  }
}

}  // namespace

QtFormWindow::QtFormWindow(Form& form, Raster* windowSurface,
                           std::map<std::string, Raster*> pictureSurfaces, QWidget* parent)
    : QWidget(parent), form_(form) {
  const FormSpec& spec = form.spec();
  setWindowTitle(shownText(spec.caption));
  setFixedSize(spec.clientWidth, spec.clientHeight);
  setPaletteColour(*this, QPalette::Window, spec.background);
  setPaletteColour(*this, QPalette::Button, spec.background);
  // paintEvent paints every pixel it is asked for, so Qt need not fill the background first.
  setAttribute(Qt::WA_OpaquePaintEvent);

  for (const auto& [name, raster] : pictureSurfaces) {
    const Control* control = form.find(name);
    if (control == nullptr || control->kind() != ControlKind::PictureBox) {
      throw std::invalid_argument("no picture box named " + name);
    }
  }
  for (const auto& control : form.controls()) {
    if (QWidget* widget = createWidget(*control, pictureSurfaces)) {
      widgets_.emplace(control.get(), widget);
      mirror(*control, *widget);
    }
    control->setView(this);
  }
  applyTabOrder();

  if (windowSurface != nullptr) {
    surface_.emplace(*windowSurface, *this, QPoint(0, 0));
  }
}

QtFormWindow::~QtFormWindow() {
  for (const auto& control : form_.controls()) {
    control->setView(nullptr);
  }
}

QWidget* QtFormWindow::widget(std::string_view controlName) const {
  const Control* control = form_.find(controlName);
  if (control == nullptr) {
    return nullptr;
  }
  const auto found = widgets_.find(control);
  return found == widgets_.end() ? nullptr : found->second;
}

PictureBoxWidget* QtFormWindow::pictureBox(std::string_view controlName) const {
  return dynamic_cast<PictureBoxWidget*>(widget(controlName));
}

QWidget* QtFormWindow::createWidget(Control& control,
                                    const std::map<std::string, Raster*>& pictureSurfaces) {
  const ControlSpec& spec = control.spec();
  QWidget* widget = nullptr;
  switch (control.kind()) {
    case ControlKind::Button:
      widget = createButton(*this, control);
      break;
    case ControlKind::CheckBox:
    case ControlKind::OptionButton:
      widget = createCheckable(*this, control);
      break;
    case ControlKind::ComboBox:
      widget = createComboBox(*this, control);
      break;
    case ControlKind::ScrollBar:
      widget = createScrollBar(*this, control);
      break;
    case ControlKind::Label:
      widget = createLabel(*this, spec);
      break;
    case ControlKind::TextBox:
      widget = createTextBox(*this, control);
      break;
    case ControlKind::PictureBox: {
      const auto surface = pictureSurfaces.find(std::string(spec.name));
      widget =
          new PictureBoxWidget(surface == pictureSurfaces.end() ? nullptr : surface->second, this);
      break;
    }
    case ControlKind::Shape:
    case ControlKind::Line:
      return nullptr;  // painted by the window itself, above its drawing
  }
  widget->setObjectName(shownText(spec.name));
  widget->setGeometry(specRect(spec));
  widget->setFocusPolicy(takesFocus(control.kind()) ? Qt::StrongFocus : Qt::NoFocus);
  if (!spec.font.family.empty()) {
    widget->setFont(desktopFont(spec.font));
  }
  return widget;
}

void QtFormWindow::applyTabOrder() {
  std::vector<std::pair<int, QWidget*>> order;
  for (const auto& control : form_.controls()) {
    const auto found = widgets_.find(control.get());
    if (found != widgets_.end() && control->spec().tabIndex >= 0 &&
        found->second->focusPolicy() != Qt::NoFocus) {
      order.emplace_back(control->spec().tabIndex, found->second);
    }
  }
  std::stable_sort(order.begin(), order.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  for (size_t index = 1; index < order.size(); ++index) {
    setTabOrder(order[index - 1].second, order[index].second);
  }
  if (!order.empty()) {
    order.front().second->setFocus();
  }
}

void QtFormWindow::controlChanged(const Control& control) {
  const auto found = widgets_.find(&control);
  if (found != widgets_.end()) {
    mirror(control, *found->second);
    return;
  }
  // A shape or a line: repaint where it lies.
  update(graphicalExtent(control.spec()));
}

void QtFormWindow::mirror(const Control& control, QWidget& widget) {
  const QSignalBlocker blocker(&widget);
  switch (control.kind()) {
    case ControlKind::Button:
      static_cast<QPushButton&>(widget).setText(shownText(control.caption()));
      break;
    case ControlKind::CheckBox:
    case ControlKind::OptionButton: {
      auto& button = static_cast<QAbstractButton&>(widget);
      button.setText(shownText(control.caption()));
      button.setChecked(control.value() != 0);
      break;
    }
    case ControlKind::ComboBox:
      mirrorComboBox(static_cast<QComboBox&>(widget), control);
      break;
    case ControlKind::ScrollBar:
      mirrorScrollBar(static_cast<QScrollBar&>(widget), control);
      break;
    case ControlKind::Label:
      mirrorLabel(static_cast<QLabel&>(widget), control);
      break;
    case ControlKind::TextBox:
      mirrorTextBox(static_cast<QLineEdit&>(widget), control);
      break;
    case ControlKind::PictureBox:
    case ControlKind::Shape:
    case ControlKind::Line:
      break;
  }
  if (control.kind() != ControlKind::Label) {  // a label's tip may stand for its elided text
    setToolTipText(widget, shownText(control.toolTip()));
  }
  if (widget.isHidden() == control.visible()) {
    widget.setVisible(control.visible());
  }
}

void QtFormWindow::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  const QColor background = toQColor(form_.spec().background);
  if (surface_) {
    surface_->paint(painter, event->region(), background);
  } else {
    for (const QRect& area : event->region()) {
      painter.fillRect(area, background);
    }
  }
  paintGraphicalControls(painter, event->region());
}

void QtFormWindow::paintGraphicalControls(QPainter& painter, const QRegion& region) const {
  for (const auto& control : form_.controls()) {
    const ControlSpec& spec = control->spec();
    if (!control->visible() || !region.intersects(graphicalExtent(spec))) {
      continue;
    }
    const QColor colour = toQColor(control->borderColour());
    if (control->kind() == ControlKind::Shape) {
      paintShapeBorder(painter, specRect(spec), colour);
    } else if (control->kind() == ControlKind::Line) {
      painter.setPen(QPen(colour, 1));
      painter.drawLine(spec.x, spec.y, spec.x + spec.width, spec.y + spec.height);
    }
  }
}

void QtFormWindow::closeEvent(QCloseEvent* event) {
  if (onClose_) {
    onClose_();
  }
  event->accept();
}

// A press on a label reaches the window too (labels take no clicks), so the surface is where no
// child widget lies.
void QtFormWindow::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    QWidget::mousePressEvent(event);
    return;
  }
  pressedOnSurface_ = childAt(event->position().toPoint()) == nullptr;
  event->accept();
}

void QtFormWindow::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    QWidget::mouseReleaseEvent(event);
    return;
  }
  event->accept();
  if (std::exchange(pressedOnSurface_, false) && onSurfaceClick_) {
    const QPoint pixel = event->position().toPoint();
    onSurfaceClick_(pixel.x(), pixel.y());
  }
}

namespace {

/** The local path of the first file dropped, or empty when none is a local file. */
std::string firstLocalFile(const QMimeData* data) {
  if (data == nullptr) {
    return {};
  }
  for (const QUrl& url : data->urls()) {
    if (url.isLocalFile()) {
      return url.toLocalFile().toStdString();
    }
  }
  return {};
}

}  // namespace

void QtFormWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (onFileDropped_ && !firstLocalFile(event->mimeData()).empty()) {
    event->acceptProposedAction();
  }
}

void QtFormWindow::dropEvent(QDropEvent* event) {
  const std::string path = firstLocalFile(event->mimeData());
  if (!onFileDropped_ || path.empty()) {
    return;
  }
  event->acceptProposedAction();
  onFileDropped_(event->position().toPoint().x(), path);
}

}  // namespace halvic::ui
