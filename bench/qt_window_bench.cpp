// The load and the strip redraw of load_bench in the desktop window (Qt, offscreen), each timed
// until the repaint it asked for has been painted, run next to the headless ones of load_bench so
// that each pair is compared within one run; and every handler of bench/handler_benchmarks.h in
// the same window.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QEvent>
#include <QTest>
#include <map>
#include <memory>
#include <sstream>
#include <string>

#include "app/main_window.h"
#include "bench/handler_benchmarks.h"
#include "bench/load_benchmarks.h"
#include "display/strip_rendering.h"
#include "ui/headless/headless_dialogs.h"
#include "ui/headless/headless_printer.h"
#include "ui/qt/qt_form_window.h"
#include "ui/qt/qt_look.h"

namespace {

/** Counts the paint events a widget receives. */
class PaintCounter : public QObject {
 public:
  explicit PaintCounter(QWidget& widget) { widget.installEventFilter(this); }
  int paints = 0;

 protected:
  bool eventFilter(QObject* /*watched*/, QEvent* event) override {
    if (event->type() == QEvent::Paint) {
      ++paints;
    }
    return false;
  }
};

/**
 * The main window's logic in the desktop window, shown. Files come from a queue, as in
 * load_bench, so that no file dialog is timed.
 */
class ShownMainWindow {
 public:
  ShownMainWindow() : dialogs_(transcript_), logic_(dialogs_, printers_, nullptr) {
    logic_.Form_Load();
    window_ = std::make_unique<halvic::ui::QtFormWindow>(
        logic_.form(), &logic_.windowSurface(),
        std::map<std::string, halvic::ui::Raster*>{{"Picgraph", &logic_.graphSurface()}});
    window_->show();
    exposed_ = QTest::qWaitForWindowExposed(window_.get());
    QCoreApplication::processEvents();
  }

  bool exposed() const { return exposed_; }
  halvic::ui::HeadlessDialogs& dialogs() { return dialogs_; }
  halvic::ui::HeadlessPrinters& printers() { return printers_; }
  halvic::MainWindow& logic() { return logic_; }
  std::string transcript() const { return transcript_.str(); }
  QWidget& window() { return *window_; }
  bool refusedNothing() const { return transcript_.str().empty(); }

 private:
  std::ostringstream transcript_;
  halvic::ui::HeadlessDialogs dialogs_;
  halvic::ui::HeadlessPrinters printers_;
  halvic::MainWindow logic_;
  std::unique_ptr<halvic::ui::QtFormWindow> window_;
  bool exposed_ = false;
};

/** Runs what the changes asked for: the window's update request and its paint. */
void paintPendingChanges() { QCoreApplication::processEvents(); }

/** The handlers of bench/handler_benchmarks.h pressed in the shown window. */
class ShownHandlerSession : public halvic::bench::HandlerSession {
 public:
  halvic::MainWindow& window() override { return shown_.logic(); }
  halvic::ui::HeadlessDialogs& dialogs() override { return shown_.dialogs(); }
  halvic::ui::HeadlessPrinters& printers() override { return shown_.printers(); }
  std::string transcript() const override { return shown_.transcript(); }
  void settle() override { paintPendingChanges(); }
  bool exposed() const { return shown_.exposed(); }

 private:
  ShownMainWindow shown_;
};

/** Fails the benchmark when some iteration caused no paint of the window. */
void checkEveryRunPainted(benchmark::State& state, const PaintCounter& counter) {
  if (static_cast<benchmark::IterationCount>(counter.paints) < state.iterations()) {
    state.SkipWithError("a change was not painted inside the timed region");
  }
}

void BM_QtLoadCompressedImage(benchmark::State& state) {
  ShownMainWindow shown;
  if (!shown.exposed()) {
    state.SkipWithError("the window was not shown");
    return;
  }
  const PaintCounter counter(shown.window());
  for (auto _ : state) {
    shown.dialogs().queueOpenFile(halvic::bench::kCompressedLamp);
    shown.logic().cmdload2_Click();
    paintPendingChanges();
  }
  if (!shown.logic().workspace().image(halvic::ImageKind::Cal).loaded || !shown.refusedNothing()) {
    state.SkipWithError("the sample did not load");
  }
  checkEveryRunPainted(state, counter);
}

void BM_QtRawStripRedraw(benchmark::State& state) {
  ShownMainWindow shown;
  if (!shown.exposed()) {
    state.SkipWithError("the window was not shown");
    return;
  }
  const halvic::ImageArray image = halvic::bench::rawStripImage();
  halvic::ProfileArray profile;
  const halvic::StripInputs strip = halvic::bench::rawStrip(image, profile);
  double betaDeg = 0.0;
  const PaintCounter counter(shown.window());
  for (auto _ : state) {
    halvic::drawStrip(shown.logic().windowSurface(), strip, betaDeg);
    paintPendingChanges();
  }
  checkEveryRunPainted(state, counter);
}

using halvic::bench::BM_LoadCompressedImage;
using halvic::bench::BM_RawStripRedraw;

// Each desktop window benchmark next to its headless counterpart.
BENCHMARK(BM_LoadCompressedImage)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_QtLoadCompressedImage)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RawStripRedraw)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_QtRawStripRedraw)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  // Offscreen unless the caller named a platform, so that it runs without a display.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  QApplication application(argc, argv);
  halvic::ui::applyDesktopLook(application);
  halvic::bench::registerHandlerBenchmarks("qt/", []() -> std::unique_ptr<ShownHandlerSession> {
    auto session = std::make_unique<ShownHandlerSession>();
    if (!session->exposed()) {
      qFatal("the window was never shown");
    }
    return session;
  });
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
    return 1;
  }
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
