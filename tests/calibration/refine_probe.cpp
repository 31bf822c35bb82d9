// The refine on lines read from standard input, for checks against an independent fit:
//   PIXEL_SIZE_UM FOCAL_MM ALPHA_DEG GROOVE_SPACING_UM   (the start model)
//   PIXEL WAVELENGTH                                      (one line each, any number)
// prints one line: STATUS ALPHA FOCAL ALPHA_ERROR FOCAL_ERROR RMS_BEFORE RMS_AFTER KEPT, the
// numbers in the shortest text that reads back to the same double.

#include <iostream>
#include <vector>

#include "calibration/grating_refine.h"
#include "ui/number_format.h"

int main() {
  halvic::GratingModel start;
  std::cin >> start.xPixelSize >> start.focalLengthMm >> start.alphaDeg >> start.grooveSpacingUm;
  std::vector<halvic::RefineLine> lines;
  halvic::RefineLine line;
  while (std::cin >> line.pixel >> line.wavelength) {
    lines.push_back(line);
  }
  const halvic::RefineResult result = halvic::refineGratingModel(start, lines);
  using halvic::ui::shortestText;
  std::cout << (result.status == halvic::RefineStatus::Refined ? "refined" : "refused") << ' '
            << shortestText(result.model.alphaDeg) << ' '
            << shortestText(result.model.focalLengthMm) << ' ' << shortestText(result.alphaErrorDeg)
            << ' ' << shortestText(result.focalLengthErrorMm) << ' '
            << shortestText(result.rmsBeforeA) << ' ' << shortestText(result.rmsAfterA) << ' '
            << result.linesKept << '\n';
  return 0;
}
