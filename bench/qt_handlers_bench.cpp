// Every handler of the window pressed in the desktop window (Qt, offscreen), each timed until the
// repaint it asked for has been painted: see bench/handler_benchmarks.h. The dialogs are answered
// from queues, as in handlers_bench, so that the figures compare the two windows' own work.

#include <QApplication>
#include <QTest>
#include <map>
#include <memory>

#include "bench/handler_benchmarks.h"
#include "ui/qt/qt_form_window.h"
#include "ui/qt/qt_look.h"

namespace {

class ShownSession : public halvic::bench::HandlerSession {
 public:
  ShownSession() : dialogs_(transcript_), logic_(dialogs_, printers_, nullptr) {
    logic_.Form_Load();
    window_ = std::make_unique<halvic::ui::QtFormWindow>(
        logic_.form(), &logic_.windowSurface(),
        std::map<std::string, halvic::ui::Raster*>{{"Picgraph", &logic_.graphSurface()}});
    window_->show();
    exposed_ = QTest::qWaitForWindowExposed(window_.get());
    QCoreApplication::processEvents();
  }
  halvic::MainWindow& window() override { return logic_; }
  halvic::ui::HeadlessDialogs& dialogs() override { return dialogs_; }
  halvic::ui::HeadlessPrinters& printers() override { return printers_; }
  std::string transcript() const override { return transcript_.str(); }
  void settle() override { QCoreApplication::processEvents(); }
  bool exposed() const { return exposed_; }

 private:
  std::ostringstream transcript_;
  halvic::ui::HeadlessDialogs dialogs_;
  halvic::ui::HeadlessPrinters printers_;
  halvic::MainWindow logic_;
  std::unique_ptr<halvic::ui::QtFormWindow> window_;
  bool exposed_ = false;
};

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  QApplication application(argc, argv);
  halvic::ui::applyDesktopLook(application);
  halvic::bench::registerHandlerBenchmarks("qt/", [] { return std::make_unique<ShownSession>(); });
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
