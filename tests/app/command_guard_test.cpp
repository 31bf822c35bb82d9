// A fault of the program inside a command (memory that runs out, a broken assumption) ends in a
// message, with the workspace as it was before the press; nothing escapes to the event loop.

#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "app/workspace_values.h"
#include "tests/app/main_window_fixture.h"
#include "ui/headless/headless_dialogs.h"
#include "ui/headless/headless_printer.h"

namespace halvic {
namespace {

/** Which dialog fails, once, and with what. */
enum class Faulty { OpenFile, InputBox, MessageBox, SaveFile };

/** Queued answers as usual, but the chosen kind of dialog throws the first time it opens. */
class FaultyDialogs : public ui::HeadlessDialogs {
 public:
  FaultyDialogs(std::ostream& transcript, std::ostream& reasons)
      : HeadlessDialogs(transcript, &reasons) {}

  void failNext(Faulty kind, std::function<void()> fault) {
    kind_ = kind;
    fault_ = std::move(fault);
  }

  std::optional<std::string> openFile(std::string_view title,
                                      const std::vector<ui::FileFilter>& filters,
                                      int selected) override {
    failIf(Faulty::OpenFile);
    return HeadlessDialogs::openFile(title, filters, selected);
  }
  std::optional<std::string> inputBox(std::string_view prompt, std::string_view title,
                                      std::string_view text) override {
    failIf(Faulty::InputBox);
    return HeadlessDialogs::inputBox(prompt, title, text);
  }
  using HeadlessDialogs::messageBox;
  void messageBox(std::string_view text, std::string_view reason) override {
    failIf(Faulty::MessageBox);
    HeadlessDialogs::messageBox(text, reason);
  }
  std::optional<std::string> saveFile(const ui::SaveRequest& request) override {
    failIf(Faulty::SaveFile);
    return HeadlessDialogs::saveFile(request);
  }

 private:
  void failIf(Faulty kind) {
    if (fault_ && kind_ == kind) {
      const std::function<void()> fault = std::move(fault_);
      fault_ = nullptr;
      fault();
    }
  }

  Faulty kind_ = Faulty::OpenFile;
  std::function<void()> fault_;
};

struct FaultySession {
  FaultySession() : dialogs(transcript, reasons), window(dialogs, printers, [] {}) {
    window.Form_Load();
  }
  std::ostringstream transcript;
  std::ostringstream reasons;
  FaultyDialogs dialogs;
  ui::HeadlessPrinters printers;
  MainWindow window;

  void load(const std::string& path, std::string_view button) {
    dialogs.queueOpenFile(path);
    window.form()[button].userClick();
  }
  /** Every workspace value by name, the arrays' first columns included. */
  std::vector<std::string> values() const {
    std::vector<std::string> all;
    for (const std::string_view name : workspaceValueNames()) {
      all.push_back(std::string(name) + ": " + *workspaceValueText(window.workspace(), name));
    }
    for (const std::string_view name : {"profile", "dataProfile", "calProfile"}) {
      for (int column = 1; column <= 768; column += 97) {
        all.push_back(*workspaceArrayEntryText(window.workspace(), name, column, 1));
      }
    }
    return all;
  }
};

void outOfMemory() { throw std::bad_alloc(); }
void brokenAssumption() { throw std::logic_error("a broken assumption"); }

TEST(CommandGuard, AFaultEndsInAMessageAndLeavesTheWorkspaceAsItWas) {
  struct Row {
    std::string_view name;
    std::function<void(FaultySession&)> press;
    Faulty faulty;
    std::function<void()> fault;
    std::string_view message;
    std::string_view reason;  // on the error stream; empty: none
  };
  const std::string truncated = test::kSourceDir + "/tests/script/data/truncated.kr4";
  const std::vector<Row> rows{
      // The refusal's own message box fails after the chosen file name was taken.
      {"a load", [&](FaultySession& s) { s.load(truncated, "cmdload"); }, Faulty::MessageBox,
       outOfMemory, "File not loaded successfully", "std::bad_alloc"},
      {"the menu's load",
       [](FaultySession& s) { s.window.menus().byTitle("File", "Load Cal").choose(); },
       Faulty::OpenFile, brokenAssumption, "File not loaded successfully", "a broken assumption"},
      {"Save Strip Image", [](FaultySession& s) { s.window.form()["cmdstrip"].userClick(); },
       Faulty::InputBox, outOfMemory, "Invalid path name - try again!", "std::bad_alloc"},
      {"Print Graph", [](FaultySession& s) { s.window.form()["cmdprint"].userClick(); },
       Faulty::MessageBox, brokenAssumption, "There was a problem printing to your printer.",
       "a broken assumption"},
      {"Export CSV",
       [](FaultySession& s) { s.window.menus().byTitle("File", "Export CSV").choose(); },
       Faulty::SaveFile, brokenAssumption, "The command failed: a broken assumption", ""},
      {"a manual line", [](FaultySession& s) { s.window.form()["cboscale"].userSelect(47); },
       Faulty::InputBox, outOfMemory, "The command failed: std::bad_alloc", ""},
      {"a click on a strip",
       [](FaultySession& s) {
         s.window.runGuarded([&s] {
           s.window.Form_MouseUp(300, 20);
           throw std::logic_error("a broken assumption");
         });
       },
       Faulty::SaveFile, nullptr, "The command failed: a broken assumption", ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    FaultySession session;
    session.load(test::kObject, "cmdload");
    session.transcript.str("");
    const std::vector<std::string> before = session.values();
    session.dialogs.failNext(row.faulty, row.fault);
    row.press(session);
    EXPECT_EQ(session.transcript.str(), "message: " + std::string(row.message) + "\n");
    EXPECT_EQ(session.reasons.str(),
              row.reason.empty() ? std::string() : "reason: " + std::string(row.reason) + "\n");
    EXPECT_EQ(session.values(), before);
  }
}

}  // namespace
}  // namespace halvic
