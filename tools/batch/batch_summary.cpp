#include "tools/batch/batch_summary.h"

#include "ui/number_format.h"

namespace halvic {

namespace {

std::string csvText(const std::string& text) {
  if (text.find_first_of(",\"\n") == std::string::npos) {
    return text;
  }
  std::string quoted = "\"";
  for (const char c : text) {
    quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  }
  return quoted + "\"";
}

}  // namespace

std::string buildSummary(const std::vector<ImageJob>& jobs,
                         const std::vector<ImageOutcome>& outcomes) {
  std::string summary = "image,lamp,shift_px,lines,rms_angstrom,status\n";
  for (size_t i = 0; i < jobs.size() && i < outcomes.size(); ++i) {
    const ImageOutcome& outcome = outcomes[i];
    summary += csvText(jobs[i].image) + "," + csvText(jobs[i].lamp.value_or("")) + "," +
               (outcome.shiftPx ? ui::shortestText(*outcome.shiftPx) : "") + "," +
               std::to_string(outcome.lines) + "," + ui::shortestText(outcome.rmsA) + "," +
               csvText(outcome.status) + "\n";
  }
  return summary;
}

}  // namespace halvic
