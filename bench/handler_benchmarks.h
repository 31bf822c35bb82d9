#pragma once

// Every handler of the window, pressed as the user presses it, on a full 768 x 20 image (the
// worked example's lamp, loaded as both images and calibrated on its two lines). handlers_bench
// runs them headless; qt_handlers_bench runs them in the desktop window (offscreen), each timed
// until the repaint it asked for has been painted. Dialogs are answered from queues in both, so
// that no dialog's own drawing is timed: the figures are the program's work and the window's.

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "ui/headless/headless_dialogs.h"
#include "ui/headless/headless_printer.h"

namespace halvic::bench {

inline const std::string kFullLamp =
    std::string(HALVIC_SOURCE_DIR) + "/tests/script/data/worked-example-lines.kr4";

/** A window to press handlers in, with its dialogs' queues and a folder of its own. */
class HandlerSession {
 public:
  virtual ~HandlerSession() = default;
  virtual MainWindow& window() = 0;
  virtual ui::HeadlessDialogs& dialogs() = 0;
  virtual ui::HeadlessPrinters& printers() = 0;
  /** What the dialogs said so far. */
  virtual std::string transcript() const = 0;
  /** Runs what the handler left for the window to do (the desktop window's repaint). */
  virtual void settle() {}
  /** A private folder holding a copy of the image, where the exports are written. */
  const std::string& folder() const { return folder_; }

  /** Loads the image as object and lamp and calibrates it: line 1 on 200, line 2 on 600. */
  void prepare() {
    std::string pattern = std::filesystem::temp_directory_path().string() + "/halvic-bench-XXXXXX";
    folder_ = mkdtemp(pattern.data()) != nullptr ? pattern : std::string(".");
    image_ = folder_ + "/lamp.kr4";
    std::filesystem::copy_file(kFullLamp, image_,
                               std::filesystem::copy_options::overwrite_existing);
    MainWindow& logic = window();
    dialogs().queueOpenFile(image_);
    logic.cmdload_Click();
    dialogs().queueOpenFile(image_);
    logic.cmdload2_Click();
    logic.control("cboscale").userSelect(43);
    logic.control("hsbspectra").userSet(200);
    logic.cmdmarkline1_Click();
    logic.control("cboscale").userSelect(42);
    logic.control("hsbspectra").userSet(600);
    logic.cmdmarkline2_Click();
    printers().usePage(1100, 850, folder_ + "/page.txt");
    settle();
  }
  const std::string& image() const { return image_; }
  void removeFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }

 private:
  std::string folder_;
  std::string image_;
};

/** One handler as pressed; iteration lets a toggle or a move alternate between two states. */
struct HandlerCase {
  std::string name;
  std::function<void(HandlerSession&, int64_t iteration)> press;
};

inline int alternate(int64_t iteration, int a, int b) { return iteration % 2 == 0 ? a : b; }

inline std::vector<HandlerCase> handlerCases() {
  using S = HandlerSession;
  const auto click = [](const char* name) {
    return [name](S& s, int64_t) { s.window().form()[name].userClick(); };
  };
  const auto setBar = [](const char* name, int a, int b) {
    return [name, a, b](S& s, int64_t i) { s.window().form()[name].userSet(alternate(i, a, b)); };
  };
  const auto dragBar = [](const char* name, int a, int b) {
    return
        [name, a, b](S& s, int64_t i) { s.window().form()[name].userScroll(alternate(i, a, b)); };
  };
  const auto menu = [](const char* path, std::function<void(S&)> answer) {
    return [path, answer](S& s, int64_t) {
      answer(s);
      const std::string text(path);
      const size_t slash = text.find('/');
      s.window().menus().byTitle(text.substr(0, slash), text.substr(slash + 1)).choose();
    };
  };
  return {
      {"cmdload_Click",
       [](S& s, int64_t) {
         s.dialogs().queueOpenFile(s.image());
         s.window().cmdload_Click();
       }},
      {"cmdload2_Click",
       [](S& s, int64_t) {
         s.dialogs().queueOpenFile(s.image());
         s.window().cmdload2_Click();
       }},
      {"cmdcontrast_Click",
       [](S& s, int64_t) {
         s.dialogs().queueModal([](ui::Form& dialog) { dialog["cmddone"].userClick(); });
         s.window().cmdcontrast_Click();
       }},
      {"cmdcontrast2_Click",
       [](S& s, int64_t) {
         s.dialogs().queueModal([](ui::Form& dialog) { dialog["cmddone"].userClick(); });
         s.window().cmdcontrast2_Click();
       }},
      {"chkexpand_Click", click("chkexpand")},
      {"hsbcropdata1_Scroll", dragBar("hsbcropdata1", 2, 3)},
      {"hsbcropdata1_Change", setBar("hsbcropdata1", 2, 3)},
      {"hsbcropdata2_Change", setBar("hsbcropdata2", 19, 18)},
      {"hsbcropcal1_Change", setBar("hsbcropcal1", 2, 3)},
      {"hsbcropcal2_Change", setBar("hsbcropcal2", 19, 18)},
      {"cmdcalcspectra_Click", click("cmdcalcspectra")},
      {"Cmdcalccal_Click", click("Cmdcalccal")},
      {"Lingraph_Click", click("Lingraph")},
      {"loggraph_Click", click("loggraph")},
      {"autograph_Click", click("autograph")},
      {"pushgraph_Click", click("pushgraph")},
      {"chkmedian_Click", click("chkmedian")},
      {"chkfilter_Click", click("chkfilter")},
      {"smoothing_Click", click("smoothing")},
      {"hsbspectra_Scroll", dragBar("hsbspectra", 380, 381)},
      {"hsbspectra_Change", setBar("hsbspectra", 380, 381)},
      {"cmdemission_Click", click("cmdemission")},
      {"cboscale_Click",
       [](S& s, int64_t i) { s.window().control("cboscale").userSelect(alternate(i, 8, 9)); }},
      {"cbobox_Click",
       [](S& s, int64_t i) { s.window().control("cbobox").userSelect(alternate(i, 1, 2)); }},
      {"cmdmarkline1_Click",
       [](S& s, int64_t) {
         s.window().control("cboscale").userSelect(43);
         s.window().control("hsbspectra").userSet(200);
         s.window().cmdmarkline1_Click();
       }},
      {"cmdmarkline2_Click",
       [](S& s, int64_t) {
         s.window().control("cboscale").userSelect(42);
         s.window().control("hsbspectra").userSet(600);
         s.window().cmdmarkline2_Click();
       }},
      {"cmdtext_Click", click("cmdtext")},
      {"cmdstrip_Click",
       [](S& s, int64_t) {
         s.dialogs().queueInput(s.folder() + "/strip");
         s.window().cmdstrip_Click();
       }},
      {"cmdprint_Click", click("cmdprint")},
      {"Form_MouseUp",
       [](S& s, int64_t i) { s.window().Form_MouseUp(alternate(i, 300, 301), 20); }},
      {"Picgraph_MouseUp",
       [](S& s, int64_t i) { s.window().Picgraph_MouseUp(alternate(i, 125, 133), 50); }},
      {"Picgraph_MouseWheel",
       [](S& s, int64_t i) { s.window().Picgraph_MouseWheel(alternate(i, 1, -1)); }},
      {"Export FITS", menu("File/Export FITS",
                           [](S& s) {
                             s.dialogs().queueSave(s.folder() + "/lamp.fits");
                             s.dialogs().queueForm(ui::FormAnswer{});
                           })},
      {"Export CSV",
       menu("File/Export CSV", [](S& s) { s.dialogs().queueSave(s.folder() + "/lamp.csv"); })},
      {"Save Calibration",
       menu("Calibration/Save Calibration",
            [](S& s) { s.dialogs().queueSave(s.folder() + "/calibration.fits"); })},
      {"Load Calibration",
       [](S& s, int64_t i) {
         if (i == 0) {
           s.dialogs().queueSave(s.folder() + "/calibration.fits");
           s.window().menus().byTitle("Calibration", "Save Calibration").choose();
         }
         s.dialogs().queueOpenFile(s.folder() + "/calibration.fits");
         s.window().menus().byTitle("Calibration", "Load Calibration").choose();
       }},
      {"Check Calibration", menu("Calibration/Check Calibration", [](S&) {})},
      {"Refine with All Lines", menu("Calibration/Refine with All Lines",
                                     [](S& s) { s.dialogs().queueForm(std::nullopt); })},
      {"Grating", menu("Calibration/Grating", [](S& s) { s.dialogs().queueInput("automatic"); })},
  };
}

/** Registers one benchmark a handler, pressed in the sessions that makeSession builds. */
inline void registerHandlerBenchmarks(
    const std::string& prefix, std::function<std::unique_ptr<HandlerSession>()> makeSession) {
  for (const HandlerCase& handler : handlerCases()) {
    benchmark::RegisterBenchmark((prefix + handler.name).c_str(), [handler, makeSession](
                                                                      benchmark::State& state) {
      const std::unique_ptr<HandlerSession> session = makeSession();
      session->prepare();
      int64_t iteration = 0;
      for (auto _ : state) {
        handler.press(*session, iteration++);
        session->settle();
      }
      session->removeFolder();
    })->Unit(benchmark::kMicrosecond);
  }
}

}  // namespace halvic::bench
