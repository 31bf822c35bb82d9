// Every command the user gives runs inside a guard, so that a fault of the program (memory that
// runs out, a broken assumption) ends as a message, with the workspace as it was before the
// press, and never reaches the window system's event loop.

#include <array>
#include <exception>
#include <string>

#include "app/command_failures.h"
#include "app/main_window.h"

namespace halvic {

namespace {

struct ControlFailure {
  MainControl control;
  std::string_view message;
};

struct MenuFailure {
  MainMenuItem item;
  std::string_view message;
};

constexpr std::array kControlFailures{
    ControlFailure{"cmdload", kNotLoaded},
    ControlFailure{"cmdload2", kNotLoaded},
    ControlFailure{"cmdstrip", kStripNotSaved},
    ControlFailure{"cmdprint", kNotPrinted},
};

constexpr std::array kMenuFailures{
    MenuFailure{"mnuLoadSpectra", kNotLoaded},
    MenuFailure{"mnuLoadCal", kNotLoaded},
    MenuFailure{"mnuOpenFitsObject", kNotLoaded},
    MenuFailure{"mnuOpenFitsLamp", kNotLoaded},
};

/** The message of a command that says one thing whatever failed; empty for any other. */
std::string_view fixedFailureOfControl(std::string_view control) {
  for (const ControlFailure& failure : kControlFailures) {
    if (failure.control.name() == control) {
      return failure.message;
    }
  }
  return {};
}

std::string_view fixedFailureOfMenu(std::string_view item) {
  for (const MenuFailure& failure : kMenuFailures) {
    if (failure.item.name() == item) {
      return failure.message;
    }
  }
  return {};
}

std::string faultOf(const std::exception_ptr& fault) {
  try {
    std::rethrow_exception(fault);
  } catch (const std::exception& error) {
    return error.what();
  } catch (...) {
    return "an unknown fault";
  }
}

}  // namespace

void MainWindow::guardCommands() {
  const auto runControl = [this](const ui::Control& source, const std::function<void()>& action) {
    runCommand(fixedFailureOfControl(source.name()), action);
  };
  form_.setUserActionRunner(runControl);
  frmcontrast_.setUserActionRunner(
      [this](const ui::Control&, const std::function<void()>& action) { runCommand({}, action); });
  menus_.setChoiceRunner([this](const ui::MenuItem& chosen, const std::function<void()>& handler) {
    runCommand(fixedFailureOfMenu(chosen.spec().name), handler);
  });
}

void MainWindow::runGuarded(const std::function<void()>& command) { runCommand({}, command); }

void MainWindow::runCommand(std::string_view fixedFailure, const std::function<void()>& command) {
  std::exception_ptr fault;
  try {
    const Workspace before = ws_;
    const CalibrationHistory historyBefore = history_;
    try {
      command();
      return;
    } catch (const ui::UnansweredDialog&) {
      throw;  // the session ends here: nothing failed
    } catch (...) {
      fault = std::current_exception();
    }
    ws_ = before;
    history_ = historyBefore;
    updateCalibrationMenus();
    updateUndoMenus();
  } catch (const ui::UnansweredDialog&) {
    throw;
  } catch (...) {
    fault = fault ? fault : std::current_exception();
  }
  try {
    const std::string reason = faultOf(fault);
    if (fixedFailure.empty()) {
      dialogs_.messageBox(std::string(kCommandFailed) + reason);
    } else {
      dialogs_.messageBox(fixedFailure, reason);
    }
  } catch (...) {
    // Nothing more can be told; what the workspace held is back.
  }
}

}  // namespace halvic
