#include "calibration/grating_solve.h"

#include <cmath>
#include <optional>

#include "calibration/general_solve.h"

namespace halvic {

namespace {

struct ScanPass {
  float divisor;  // candidate k is k / divisor degrees, computed in 32-bit float
  double step;
  int lastIndex;
};

constexpr ScanPass kCoarsePass{10.0f, 0.1, 400};
constexpr ScanPass kFinePass{100.0f, 0.01, 4000};

bool isUsableFocalLength(double focalLengthMm) {
  return std::isfinite(focalLengthMm) && focalLengthMm != 0.0;
}

bool hasUsableInputs(const GratingModel& start, const LineMarks& marks, float dispersionAPerMm,
                     bool focalLengthSolved) {
  const bool modelUsable = std::isfinite(start.xPixelSize) && start.xPixelSize != 0.0f &&
                           isUsableFocalLength(start.focalLengthMm) &&
                           std::isfinite(start.gammaDeg) && std::isfinite(start.degreesPerRadian) &&
                           start.degreesPerRadian != 0.0f;
  const bool line1Usable =
      std::isfinite(marks.line1Wavelength.value) && std::isfinite(marks.line1Pixel);
  if (!modelUsable || !line1Usable || !std::isfinite(dispersionAPerMm)) {
    return false;
  }
  if (focalLengthSolved) {
    return true;  // the re-fit reads line 1 only
  }
  return std::isfinite(marks.line2Wavelength.value) && std::isfinite(marks.line2Pixel) &&
         marks.line2Pixel != marks.line1Pixel && marks.line2Wavelength != marks.line1Wavelength;
}

/**
 * One linear scan of alpha from 0 to 40 degrees for the first candidate whose wavelength at line
 * 1 exceeds the known one, then a linear interpolation back towards the previous candidate.
 * Leaves the interpolated angle in model.alphaDeg; false when no candidate stops the scan or the
 * angle is not finite.
 */
bool scanAlpha(GratingModel& model, const LineMarks& marks, const ScanPass& pass,
               double lambdaBeforeFirst, double& betaDeg) {
  const double line1 = marks.line1Wavelength.value;
  const double line1Pixel = static_cast<double>(marks.line1Pixel);
  double lambdaPrevious = lambdaBeforeFirst;
  std::optional<double> lambdaStop;
  for (int k = 0; k <= pass.lastIndex; ++k) {
    model.alphaDeg = static_cast<double>(static_cast<float>(k) / pass.divisor);
    const double lambda =
        static_cast<double>(static_cast<float>(evaluateGratingModel(model, line1Pixel, betaDeg)));
    if (lambda > line1) {
      lambdaStop = lambda;
      break;
    }
    lambdaPrevious = lambda;
  }
  if (!lambdaStop) {
    return false;
  }
  model.alphaDeg = (model.alphaDeg - pass.step) +
                   pass.step * (line1 - lambdaPrevious) / (*lambdaStop - lambdaPrevious);
  return std::isfinite(model.alphaDeg);
}

/** Stretches the focal length so that line 2 moves towards its known wavelength. */
bool rescaleFocalLength(GratingModel& model, const LineMarks& marks, double& betaDeg) {
  const double lambda2 = static_cast<double>(static_cast<float>(
      evaluateGratingModel(model, static_cast<double>(marks.line2Pixel), betaDeg)));
  if (!std::isfinite(lambda2)) {
    return false;
  }
  const double line1 = marks.line1Wavelength.value;
  // Multiplied before dividing: the focal length times the spread, then over the known spread;
  // dividing first would round the last bit differently.
  model.focalLengthMm =
      model.focalLengthMm * (lambda2 - line1) / (marks.line2Wavelength.value - line1);
  return isUsableFocalLength(model.focalLengthMm);
}

bool runFullSolve(GratingModel& model, const LineMarks& marks, double& betaDeg) {
  const double line1 = marks.line1Wavelength.value;
  return scanAlpha(model, marks, kCoarsePass, 0.0, betaDeg) &&
         rescaleFocalLength(model, marks, betaDeg) &&
         scanAlpha(model, marks, kCoarsePass, line1, betaDeg) &&
         rescaleFocalLength(model, marks, betaDeg) &&
         scanAlpha(model, marks, kFinePass, line1, betaDeg);
}

/**
 * Whether the model puts the line within one column of its centroid: |lambda(c) - lambda_line|
 * at most |lambda(c + 0.5) - lambda(c - 0.5)|, all finite. A solve that passes its scans but
 * misses a line it was given (a pixel size far too small, an angle at the end of the scan) has
 * found no solution.
 */
bool reproducesLine(const GratingModel& model, const LineWavelength& wavelength, float pixel) {
  double betaDeg = 0.0;
  const auto at = [&model, &betaDeg](double column) {
    return evaluateGratingModel(model, column, betaDeg);
  };
  const double centroid = static_cast<double>(pixel);
  const double lambda = at(centroid);
  const double oneColumn = std::fabs(at(centroid + 0.5) - at(centroid - 0.5));
  return std::isfinite(lambda) && std::isfinite(oneColumn) && std::isfinite(betaDeg) &&
         std::fabs(lambda - wavelength.value) <= oneColumn;
}

bool reproducesLines(const GratingModel& model, const LineMarks& marks, bool line1Only) {
  return reproducesLine(model, marks.line1Wavelength, marks.line1Pixel) &&
         (line1Only || reproducesLine(model, marks.line2Wavelength, marks.line2Pixel));
}

bool solveLittrow(GratingModel& model, const LineMarks& marks, bool focalLengthSolved,
                  double& betaDeg) {
  return focalLengthSolved ? scanAlpha(model, marks, kFinePass, 0.0, betaDeg)
                           : runFullSolve(model, marks, betaDeg);
}

// A spectrograph with a deviation or a distorting camera: the Littrow solve of the same lines
// gives the start, Newton's method the answer. A re-fit starts from the model itself.
bool solveGeneral(GratingModel& model, const LineMarks& marks, bool focalLengthSolved,
                  double& betaDeg) {
  GratingModel littrow = model;
  littrow.deviationDeg = 0.0;
  littrow.distortion2 = 0.0;
  littrow.distortion3 = 0.0;
  if (!focalLengthSolved && !runFullSolve(littrow, marks, betaDeg)) {
    return false;
  }
  if (!solveGeneralModel(model, littrow, marks, focalLengthSolved)) {
    return false;
  }
  const float lastLine = focalLengthSolved ? marks.line1Pixel : marks.line2Pixel;
  evaluateGratingModel(model, static_cast<double>(lastLine), betaDeg);
  return true;
}

}  // namespace

SolveResult solveGratingModel(const GratingModel& start, const LineMarks& marks,
                              float dispersionAPerMm, bool focalLengthSolved,
                              std::optional<double> chosenGrooveSpacingUm) {
  SolveResult failed{false, start, 0.0};
  const bool spacingUsable = !chosenGrooveSpacingUm || (std::isfinite(*chosenGrooveSpacingUm) &&
                                                        *chosenGrooveSpacingUm > 0.0);
  if (!spacingUsable || !hasUsableInputs(start, marks, dispersionAPerMm, focalLengthSolved)) {
    return failed;
  }
  GratingModel model = start;
  model.grooveSpacingUm =
      chosenGrooveSpacingUm ? *chosenGrooveSpacingUm : grooveSpacingFor(dispersionAPerMm);
  double betaDeg = 0.0;
  const bool fitted = isLittrow(model) ? solveLittrow(model, marks, focalLengthSolved, betaDeg)
                                       : solveGeneral(model, marks, focalLengthSolved, betaDeg);
  if (!fitted || !std::isfinite(betaDeg) || !reproducesLines(model, marks, focalLengthSolved)) {
    return failed;
  }
  return SolveResult{true, model, betaDeg};
}

}  // namespace halvic
