// One scripted session run twice: by halvic-script's session on the headless backend, and by
// mouse on the real widgets of the desktop window, its dialogs answered through their own widgets.
// Both must end with the same workspace, controls, messages, files and pixels.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegion>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "app/desktop_program.h"
#include "app/workspace_values.h"
#include "calibration/line_list.h"
#include "tests/qt/qt_session_driver.h"
#include "tools/halvic_script/script_session.h"
#include "ui/qt/qt_look.h"

namespace halvic {
namespace {

// DIR stands for the folder the images are copied to (text files are written beside them),
// MANUAL for the index of "Manual Entry" in the line list.
constexpr std::string_view kSession = R"(# A message before anything is loaded.
click cmdtext
open DIR/object-spectrum.kr4
click cmdload
open DIR/neon-lamp.kr4
click cmdload2
# Line 1: Ne 5852.488 at column 214, the thumb dragged near it, then a track and an arrow click.
select cboscale 8
scroll hsbspectra 203
release hsbspectra
set hsbspectra 213
set hsbspectra 214
click cmdmarkline1
# Line 2 at column 590: first with the same entry (refused), then typed in as the manual entry.
scroll hsbspectra 587
release hsbspectra
set hsbspectra 588
set hsbspectra 589
set hsbspectra 590
click cmdmarkline2
input 6506.528
select cboscale MANUAL
click cmdmarkline2
click cmdemission
# The lamp strip's contrast typed into the dialog.
contrast 150 3000
click cmdcontrast2
# Crop rows: an arrow, a drag and a track click.
set hsbcropcal1 2
scroll hsbcropdata1 6
release hsbcropdata1
set hsbcropdata2 15
click cmdcalcspectra
click chkexpand
click chkmedian
click chkfilter
click loggraph
click smoothing
click Lingraph
# The pointer: a click on the object strip and on the graph, the wheel over the graph.
press window 300 20
press graph 100 50
wheel graph 3
wheel graph -1
click cmdtext
)";

std::string replaced(std::string text, std::string_view what, const std::string& by) {
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at)) {
    text.replace(at, what.size(), by);
    at += by.size();
  }
  return text;
}

std::string sessionIn(const QString& folder) {
  return replaced(replaced(std::string(kSession), "DIR", folder.toStdString()), "MANUAL",
                  std::to_string(lineList().size()));
}

std::vector<std::string> linesOf(std::string_view text) {
  std::vector<std::string> lines;
  std::istringstream stream{std::string(text)};
  for (std::string line; std::getline(stream, line);) {
    lines.push_back(line);
  }
  return lines;
}

/** A transcript's text back as the program gave it: \r, \n and \\ undone. */
std::string untranscribed(std::string_view text) {
  std::string result;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size()) {
      const char next = text[++i];
      result += next == 'r' ? '\r' : next == 'n' ? '\n' : next;
    } else {
      result += text[i];
    }
  }
  return result;
}

/** The message and input boxes of a transcript, as the window shows their texts. */
QStringList dialogsOfTranscript(const std::string& transcript) {
  QStringList shown;
  for (const std::string& line : linesOf(transcript)) {
    for (const std::string_view prefix : {"message: ", "input-box: "}) {
      if (line.starts_with(prefix)) {
        shown << ui::shownText(prefix) + ui::shownText(untranscribed(line.substr(prefix.size())));
      }
    }
  }
  return shown;
}

/** Every workspace value as a script prints it, arrays entry by entry. */
std::vector<std::string> workspaceLines(const Workspace& ws) {
  std::vector<std::string> lines;
  for (const std::string_view name : workspaceValueNames()) {
    lines.push_back(std::string(name) + ": " + workspaceValueText(ws, name).value_or("?"));
  }
  for (const std::string_view name : workspaceArrayNames()) {
    const ArrayIndexing indexing = *workspaceArrayIndexing(name);
    const int first = indexing == ArrayIndexing::FromZero ? 0 : 1;
    const int rows = indexing == ArrayIndexing::ColumnAndRow ? kImageRows : 1;
    for (int row = 1; row <= rows; ++row) {
      for (int index = first;; ++index) {
        const std::optional<std::string> entry = workspaceArrayEntryText(ws, name, index, row);
        if (!entry) {
          break;
        }
        lines.push_back(std::string(name) + "[" + std::to_string(index) + "," +
                        std::to_string(row) + "]: " + *entry);
      }
    }
  }
  return lines;
}

std::string colourText(ui::Rgb colour) {
  return std::to_string(colour.red) + "," + std::to_string(colour.green) + "," +
         std::to_string(colour.blue);
}

/** Everything a control holds, one line a control. */
std::vector<std::string> controlLines(const ui::Form& form) {
  std::vector<std::string> lines;
  for (const auto& control : form.controls()) {
    std::string items;
    for (const std::string& item : control->items()) {
      items += item + ";";
    }
    lines.push_back(
        std::string(control->name()) + " caption=" + control->caption() + " value=" +
        std::to_string(control->value()) + " range=" + std::to_string(control->minimum()) + ".." +
        std::to_string(control->maximum()) + " index=" + std::to_string(control->listIndex()) +
        " items=" + items + " visible=" + std::to_string(control->visible()) +
        " fore=" + colourText(control->foreColour()) +
        " border=" + colourText(control->borderColour()) + " tip=" + control->toolTip());
  }
  return lines;
}

/** Reports the first lines that differ, and how many differ, rather than both lists whole. */
void expectSameLines(const std::vector<std::string>& headless, const std::vector<std::string>& qt,
                     std::string_view what) {
  ASSERT_EQ(headless.size(), qt.size()) << what;
  int differing = 0;
  for (size_t i = 0; i < headless.size(); ++i) {
    if (headless[i] != qt[i] && ++differing <= 5) {
      ADD_FAILURE() << what << ":\n  headless: " << headless[i] << "\n  window:   " << qt[i];
    }
  }
  EXPECT_EQ(differing, 0) << what;
}

/** The files a session wrote into folder (all but the images), by name; removed once read. */
std::map<QString, QByteArray> takeWrittenFiles(const QString& folder) {
  std::map<QString, QByteArray> files;
  for (const QString& name : QDir(folder).entryList(QDir::Files)) {
    if (!name.endsWith(QStringLiteral(".kr4"))) {
      QFile file(QDir(folder).filePath(name));
      EXPECT_TRUE(file.open(QIODevice::ReadOnly));
      files[name] = file.readAll();
      file.close();
      file.remove();
    }
  }
  return files;
}

bool isElidedLabel(QWidget& widget) {
  const auto* label = qobject_cast<QLabel*>(&widget);
  return label != nullptr && label->text().contains(QChar(0x2026));  // the ellipsis
}

/**
 * What a widget shows, in the words controlLines uses for the same control: caption, value and
 * tip as the user sees them. A label shows a text too long for it elided, with the whole text as
 * its tip.
 */
std::string shownLine(QWidget& widget, const ui::Control& control) {
  std::string caption;
  std::string value;
  if (auto* label = qobject_cast<QLabel*>(&widget)) {
    caption = (isElidedLabel(widget) ? label->toolTip() : label->text()).toStdString();
  } else if (auto* button = qobject_cast<QAbstractButton*>(&widget)) {
    caption = button->text().toStdString();
    value = button->isCheckable() ? std::to_string(button->isChecked()) : "";
  } else if (auto* combo = qobject_cast<QComboBox*>(&widget)) {
    caption = combo->currentText().toStdString();
    value = std::to_string(combo->currentIndex()) + "/" + std::to_string(combo->count());
  } else if (auto* bar = qobject_cast<QScrollBar*>(&widget)) {
    value = std::to_string(bar->value());
  } else if (auto* edit = qobject_cast<QLineEdit*>(&widget)) {
    caption = edit->text().toStdString();
  }
  return std::string(control.name()) + " caption=" + caption + " value=" + value +
         " visible=" + std::to_string(widget.isVisible());
}

/** What the widget of control ought to show, from a control of the headless window. */
std::string expectedShownLine(const ui::Control& control) {
  std::string caption = ui::shownText(control.caption()).toStdString();
  std::string value;
  switch (control.kind()) {
    case ui::ControlKind::CheckBox:
    case ui::ControlKind::OptionButton:
      value = std::to_string(control.value());
      break;
    case ui::ControlKind::Button:
      break;
    case ui::ControlKind::ComboBox:
      value = std::to_string(control.listIndex()) + "/" + std::to_string(control.items().size());
      break;
    case ui::ControlKind::ScrollBar:
      value = std::to_string(control.value());
      caption.clear();
      break;
    default:
      break;
  }
  if (control.kind() == ui::ControlKind::PictureBox) {
    caption.clear();
  }
  return std::string(control.name()) + " caption=" + caption + " value=" + value +
         " visible=" + std::to_string(control.visible());
}

int pixelsDiffering(const ui::Raster& a, const ui::Raster& b) {
  if (a.width() != b.width() || a.height() != b.height()) {
    return -1;
  }
  int differing = 0;
  for (size_t i = 0; i < a.pixels().size(); ++i) {
    differing += a.pixels()[i] == b.pixels()[i] ? 0 : 1;
  }
  return differing;
}

QColor colourOf(ui::Rgb colour) { return {colour.red, colour.green, colour.blue}; }

/** Where the window's surface is hidden: under a widget, or where a shape or line is drawn. */
QRegion coveredOfWindow(ui::QtFormWindow& window, const ui::Form& form) {
  QRegion covered;
  for (const auto& control : form.controls()) {
    const ui::ControlSpec& spec = control->spec();
    if (QWidget* widget = window.widget(spec.name)) {
      if (widget->isVisible()) {
        covered += widget->geometry();
      }
    } else if (control->visible()) {
      covered += QRect(spec.x, spec.y, spec.width, spec.height).normalized().adjusted(-1, -1, 1, 1);
    }
  }
  return covered;
}

class WindowParity : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(folder_.isValid());
    for (const char* name : {"object-spectrum.kr4", "neon-lamp.kr4"}) {
      ASSERT_TRUE(QFile::copy(QStringLiteral(HALVIC_SOURCE_DIR "/samples/") + name,
                              folder_.filePath(name)));
    }
  }

  QTemporaryDir folder_;
};

TEST_F(WindowParity, TheSameSessionEndsAlikeInTheHeadlessAndTheDesktopWindow) {
  const std::string session = sessionIn(folder_.path());

  std::ostringstream transcript;
  std::ostringstream errors;
  ScriptSession headless(transcript, errors);
  std::istringstream script(session);
  ASSERT_EQ(headless.run(script), 0) << errors.str();
  const std::map<QString, QByteArray> headlessFiles = takeWrittenFiles(folder_.path());

  DesktopProgram program;
  program.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&program.window()));
  ui::DialogResponder responder;
  ui::QtSessionDriver driver(program.window().clientArea(), responder);
  for (const std::string& line : linesOf(session)) {
    SCOPED_TRACE(line);
    ASSERT_NO_THROW(driver.run(line));
  }
  QCoreApplication::processEvents();
  const std::map<QString, QByteArray> desktopFiles = takeWrittenFiles(folder_.path());

  MainWindow& desktop = program.mainWindow();
  expectSameLines(workspaceLines(headless.window().workspace()),
                  workspaceLines(desktop.workspace()), "workspace");
  expectSameLines(controlLines(headless.window().form()), controlLines(desktop.form()),
                  "main window controls");
  expectSameLines(controlLines(headless.window().contrastDialog()),
                  controlLines(desktop.contrastDialog()), "contrast dialog controls");

  std::vector<std::string> shown;
  std::vector<std::string> expectedShown;
  std::vector<std::string> shownTips;
  std::vector<std::string> expectedTips;
  int elidedLabels = 0;
  for (const auto& control : headless.window().form().controls()) {
    QWidget* widget = program.window().clientArea().widget(control->name());
    if (widget == nullptr) {
      continue;
    }
    shown.push_back(shownLine(*widget, *desktop.form().find(control->name())));
    expectedShown.push_back(expectedShownLine(*control));
    if (isElidedLabel(*widget)) {
      ++elidedLabels;  // its tip is its whole text, checked above
    } else {
      const std::string name(control->name());
      shownTips.push_back(name + ": " + widget->toolTip().toStdString());
      expectedTips.push_back(name + ": " + ui::shownText(control->toolTip()).toStdString());
    }
  }
  expectSameLines(expectedShown, shown, "widgets");
  expectSameLines(expectedTips, shownTips, "tool tips");
  EXPECT_EQ(elidedLabels, 2);  // the two file labels, which name files in a temporary folder

  const QStringList messages = dialogsOfTranscript(transcript.str());
  EXPECT_EQ(messages, responder.shown);
  EXPECT_EQ(messages.size(), 3);  // two refusals and the manual entry's input box
  EXPECT_EQ(responder.openTitles, QStringList({"Load Spectra", "Load Cal"}));
  EXPECT_TRUE(responder.openAnswers.empty() && responder.inputAnswers.empty() &&
              responder.contrastAnswers.empty());

  ASSERT_EQ(headlessFiles.size(), 1U);
  EXPECT_EQ(headlessFiles, desktopFiles);

  EXPECT_EQ(pixelsDiffering(headless.window().windowSurface(), desktop.windowSurface()), 0);
  EXPECT_EQ(pixelsDiffering(headless.window().graphSurface(), desktop.graphSurface()), 0);

  // On the screen: the window's surface wherever no control covers it, and the graph's area.
  const QImage window = program.window().clientArea().grab().toImage();
  const QRegion covered = coveredOfWindow(program.window().clientArea(), desktop.form());
  const ui::Raster& surface = headless.window().windowSurface();
  int compared = 0;
  int differing = 0;
  for (int y = 0; y < surface.height(); ++y) {
    for (int x = 0; x < surface.width(); ++x) {
      if (!covered.contains(QPoint(x, y))) {
        ++compared;
        differing += window.pixelColor(x, y) == colourOf(surface.pixel(x, y)) ? 0 : 1;
      }
    }
  }
  EXPECT_EQ(differing, 0);
  EXPECT_GE(compared, 2 * 766 * 20);  // at least the insides of the two strip frames

  QWidget& graphWidget = *program.window().clientArea().widget("Picgraph");
  const QImage graph = graphWidget.grab(graphWidget.contentsRect()).toImage();
  const ui::Raster& graphSurface = headless.window().graphSurface();
  ASSERT_EQ(graph.size(), QSize(graphSurface.width(), graphSurface.height()));
  differing = 0;
  for (int y = 0; y < graph.height(); ++y) {
    for (int x = 0; x < graph.width(); ++x) {
      differing += graph.pixelColor(x, y) == colourOf(graphSurface.pixel(x, y)) ? 0 : 1;
    }
  }
  EXPECT_EQ(differing, 0);
}

}  // namespace
}  // namespace halvic
