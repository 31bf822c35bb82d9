#include "tools/batch/batch_summary.h"

#include "ui/number_format.h"
#include "ui/table_text.h"

namespace halvic {

std::string buildSummary(const std::vector<ImageJob>& jobs,
                         const std::vector<ImageOutcome>& outcomes) {
  std::string summary = "image,lamp,shift_px,lines,rms_angstrom,status\n";
  for (size_t i = 0; i < jobs.size() && i < outcomes.size(); ++i) {
    const ImageOutcome& outcome = outcomes[i];
    summary += ui::csvCell(jobs[i].image) + "," + ui::csvCell(jobs[i].lamp.value_or("")) + "," +
               (outcome.shiftPx ? ui::shortestText(*outcome.shiftPx) : "") + "," +
               std::to_string(outcome.lines) + "," + ui::shortestText(outcome.rmsA) + "," +
               ui::csvCell(outcome.status) + "\n";
  }
  return summary;
}

}  // namespace halvic
