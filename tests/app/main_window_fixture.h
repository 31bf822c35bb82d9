#pragma once

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <string_view>

#include "app/main_window.h"
#include "ui/headless/headless_dialogs.h"
#include "ui/headless/headless_printer.h"

namespace halvic::test {

inline const std::string kSourceDir = HALVIC_SOURCE_DIR;
inline const std::string kLamp = kSourceDir + "/samples/neon-lamp.kr4";
inline const std::string kObject = kSourceDir + "/samples/object-spectrum.kr4";
inline const std::string kRamp = kSourceDir + "/tests/script/data/ramp-400x10.kr4";

/** The real main window on the headless backend, started as the program starts it. */
struct HeadlessSession {
  HeadlessSession()
      : dialogs_(transcript_, &reasons_), window_(dialogs_, printers_, [this] { ended_ = true; }) {
    window_.Form_Load();
  }
  HeadlessSession(const HeadlessSession&) = delete;
  HeadlessSession& operator=(const HeadlessSession&) = delete;

  /** Answers the next open-file dialog with path and clicks button. */
  void load(const std::string& path, std::string_view button) {
    dialogs_.queueOpenFile(path);
    window_.form()[button].userClick();
  }
  Workspace& ws() { return window_.workspace(); }
  ui::Control& control(std::string_view name) { return window_.form()[name]; }

  std::ostringstream transcript_;
  std::ostringstream reasons_;
  ui::HeadlessDialogs dialogs_;
  ui::HeadlessPrinters printers_;
  bool ended_ = false;
  MainWindow window_;
};

/** A test on a fresh headless session. */
class MainWindowTest : public ::testing::Test, public HeadlessSession {};

}  // namespace halvic::test
