#include "calibration/calibration_summary.h"

#include "ui/number_format.h"

namespace halvic {

std::string calibrationSummary(const GratingModel& model, float dispersionAPerMm, double& betaDeg) {
  const float lambda381 = static_cast<float>(evaluateGratingModel(model, kReferencePixel, betaDeg));
  const std::string lineBreak = "\r\n";
  return "Focal length (mm)= " + ui::formatNumber(model.focalLengthMm, "#00.00") + lineBreak +
         "Alpha Angle (deg)= " + ui::formatNumber(model.alphaDeg, "#00.000") + lineBreak +
         "Pixel 381 Wavelength (A) = " +
         ui::formatNumber(static_cast<double>(lambda381), "###0.00") + lineBreak +
         "Dispersion (A/mm) = " + ui::formatNumber(static_cast<double>(dispersionAPerMm), "0.0000");
}

}  // namespace halvic
