#pragma once

#include <string>
#include <vector>

#include "tools/batch/batch_image.h"

namespace halvic {

/**
 * summary.csv: a header line, then one line an image in the order given, each ended by LF:
 * image, lamp (empty without one), shift in columns (empty unless re-identified), lines and RMS
 * in angstroms of the refine in force (0 when none), status ("ok" or the reason). A text holding a
 * comma or a quote is quoted, its quotes doubled; numbers in their shortest text, with '.'.
 */
std::string buildSummary(const std::vector<ImageJob>& jobs,
                         const std::vector<ImageOutcome>& outcomes);

}  // namespace halvic
