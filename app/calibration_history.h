#pragma once

#include <cstddef>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "calibration/calibration.h"

namespace halvic {

/**
 * The calibrations that came before the one in force, and those undone since, each with the name
 * of the change that left it ("Mark Line 1"), so that "Undo" and "Redo" step through them. Holds
 * the last kDepth changes; a new change forgets what was undone.
 */
class CalibrationHistory {
 public:
  static constexpr std::size_t kDepth = 20;

  /** A calibration to put in force, and the change that undoing or redoing steps over. */
  struct Step {
    Calibration calibration;
    std::string change;
  };

  /** The change named `change` replaced `before`. */
  void record(const Calibration& before, std::string_view change);

  /** The calibration before the last change, which `current` replaced; nullopt when none. */
  std::optional<Step> undo(const Calibration& current);
  /** The calibration the last undo stepped away from; nullopt when none. */
  std::optional<Step> redo(const Calibration& current);

  /** The name of the change the next undo or redo steps over; empty when there is none. */
  std::string_view nextUndo() const;
  std::string_view nextRedo() const;

  /** Applies edit to every calibration kept, such as a new camera pixel size. */
  void editAll(const std::function<void(Calibration&)>& edit);

 private:
  std::deque<Step> undone_;  // the newest last
  std::deque<Step> redone_;  // the newest last
};

}  // namespace halvic
