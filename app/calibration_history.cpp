#include "app/calibration_history.h"

namespace halvic {

namespace {

std::optional<CalibrationHistory::Step> stepBack(std::deque<CalibrationHistory::Step>& from,
                                                 std::deque<CalibrationHistory::Step>& to,
                                                 const Calibration& current) {
  if (from.empty()) {
    return std::nullopt;
  }
  CalibrationHistory::Step step = std::move(from.back());
  from.pop_back();
  to.push_back({current, step.change});
  return step;
}

}  // namespace

void CalibrationHistory::record(const Calibration& before, std::string_view change) {
  undone_.push_back({before, std::string(change)});
  if (undone_.size() > kDepth) {
    undone_.pop_front();
  }
  redone_.clear();
}

std::optional<CalibrationHistory::Step> CalibrationHistory::undo(const Calibration& current) {
  return stepBack(undone_, redone_, current);
}

std::optional<CalibrationHistory::Step> CalibrationHistory::redo(const Calibration& current) {
  return stepBack(redone_, undone_, current);
}

std::string_view CalibrationHistory::nextUndo() const {
  return undone_.empty() ? std::string_view() : undone_.back().change;
}

std::string_view CalibrationHistory::nextRedo() const {
  return redone_.empty() ? std::string_view() : redone_.back().change;
}

void CalibrationHistory::editAll(const std::function<void(Calibration&)>& edit) {
  for (Step& step : undone_) {
    edit(step.calibration);
  }
  for (Step& step : redone_) {
    edit(step.calibration);
  }
}

}  // namespace halvic
