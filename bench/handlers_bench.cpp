// Every handler of the window pressed headless: see bench/handler_benchmarks.h.

#include <memory>

#include "bench/handler_benchmarks.h"

namespace {

class HeadlessSession : public halvic::bench::HandlerSession {
 public:
  HeadlessSession() : dialogs_(transcript_), window_(dialogs_, printers_, nullptr) {
    window_.Form_Load();
  }
  halvic::MainWindow& window() override { return window_; }
  halvic::ui::HeadlessDialogs& dialogs() override { return dialogs_; }
  halvic::ui::HeadlessPrinters& printers() override { return printers_; }
  std::string transcript() const override { return transcript_.str(); }

 private:
  std::ostringstream transcript_;
  halvic::ui::HeadlessDialogs dialogs_;
  halvic::ui::HeadlessPrinters printers_;
  halvic::MainWindow window_;
};

}  // namespace

int main(int argc, char** argv) {
  halvic::bench::registerHandlerBenchmarks("headless/",
                                           [] { return std::make_unique<HeadlessSession>(); });
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
