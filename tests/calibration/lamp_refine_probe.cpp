// The refine on a real arc, for measuring it: a camera file, its lamps' elements, two marked lines
// and the truth file of its columns; prints the two-line and the refined model's errors against
// the truth and those of a cubic through the same lines.
//   lamp_refine_probe FILE.kr4 ELEMENTS L1 C1 L2 C2 GRATING TRUTH
// ELEMENTS as "Ne,Ar"; L1, L2 air wavelengths marked on columns C1, C2; GRATING lines/mm, 0 for
// automatic.

#include <Eigen/Dense>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "calibration/centroid.h"
#include "calibration/dispersion.h"
#include "calibration/grating_choice.h"
#include "calibration/lamp_lines.h"
#include "calibration/lamp_refine.h"
#include "imagefile/image_reader.h"
#include "spectrum/profile_extraction.h"

namespace {

using namespace halvic;

std::vector<double> truthOf(const std::string& path) {
  std::vector<double> truth{0.0};
  std::ifstream in(path);
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') {
      continue;
    }
    std::istringstream fields(line);
    double column = 0.0;
    double wavelength = 0.0;
    fields >> column >> wavelength;
    truth.push_back(wavelength);
  }
  return truth;
}

double wavelengthAt(const GratingModel& model, double pixel) {
  double beta = 0.0;
  return evaluateGratingModel(model, pixel, beta);
}

template <typename Lambda>
std::pair<double, double> worstAndRms(const std::vector<double>& truth, Lambda lambda) {
  double worst = 0.0;
  double sum = 0.0;
  for (size_t column = 1; column < truth.size(); ++column) {
    const double error = std::fabs(lambda(static_cast<double>(column)) - truth[column]);
    const double step = std::fabs(truth[std::min(column + 1, truth.size() - 1)] -
                                  truth[std::max<size_t>(column - 1, 1)]) /
                        (column == 1 || column + 1 == truth.size() ? 1.0 : 2.0);
    worst = std::max(worst, error / step);
    sum += (error / step) * (error / step);
  }
  return {worst, std::sqrt(sum / static_cast<double>(truth.size() - 1))};
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 9) {
    std::fprintf(stderr, "usage: lamp_refine_probe FILE ELEMENTS L1 C1 L2 C2 GRATING TRUTH\n");
    return 2;
  }
  ImageHeaderFields fields;
  scanImageHeader(argv[1], fields);
  ImageArray image;
  HeaderBytes header{};
  readImagePixels(argv[1], fields.compressed, fields.height, fields.width, image, header);
  const ExtractedProfile profile = extractCalProfile(image, fields.width, 1, 20, false);
  std::vector<LampElement> elements;
  std::string names = argv[2];
  for (const LampElement element : kLampElements) {
    if (names.find(std::string(lampElementSymbol(element))) != std::string::npos) {
      elements.push_back(element);
    }
  }
  std::vector<LineWavelength> listed;
  for (const LampLine& line : lampLinesOf(elements)) {
    listed.push_back(LineWavelength::fromDouble(line.airA));
  }
  const auto markAt = [&](const char* column) {
    return centroidLine(profile.values, profile.length, static_cast<int16_t>(std::atoi(column)), 5)
        .pixel;
  };
  LineMarks marks{LineWavelength::fromDouble(std::atof(argv[3])),
                  LineWavelength::fromDouble(std::atof(argv[5])), markAt(argv[4]), markAt(argv[6])};
  GratingModel start = kStartModel;
  start.xPixelSize = fields.xPixelSize;
  const float dispersion =
      *estimateDispersion(marks.line1Wavelength, marks.line1Pixel, marks.line2Wavelength,
                          marks.line2Pixel, start.xPixelSize);
  const double grating = std::atof(argv[7]);
  const SolveResult solved = solveGratingModel(
      start, marks, dispersion, false,
      grating > 0 ? std::optional<double>(grooveSpacingOfDensity(grating)) : std::nullopt);
  if (!solved.solved) {
    std::printf("two-line solve failed\n");
    return 1;
  }
  const std::vector<double> truth = truthOf(argv[8]);
  const auto twoLine = worstAndRms(truth, [&](double p) { return wavelengthAt(solved.model, p); });
  const LampRefine refined = refineOnLampLines(LampRefineInputs{
      LampProfile{profile.values, profile.length, image, 1, 20}, solved.model, marks, listed});
  if (std::getenv("PROBE_PEAKS") != nullptr) {
    const LampProfile lamp{profile.values, profile.length, image, 1, 20};
    for (const MeasuredLine& line : findLines(lamp, refined.lineWidthPx, profileNoise(lamp))) {
      const auto column = static_cast<size_t>(line.pixel);
      const double fraction = line.pixel - static_cast<double>(column);
      const double there = truth[column] + fraction * (truth[column + 1] - truth[column]);
      const double step = truth[column + 1] - truth[column];
      double nearest = 0.0;
      for (const LineWavelength& l : listed) {
        if (std::fabs(l.value - there) < std::fabs(nearest - there)) nearest = l.value;
      }
      std::printf("   peak %8.3f h %8.1f%s truth %9.3f nearest %9.3f off %+.2f px\n", line.pixel,
                  line.height, line.saturated ? " sat" : "", there, nearest, (there - nearest) / step);
    }
  }
  std::printf("width %.2f  two-line worst %.3f px rms %.3f", refined.lineWidthPx, twoLine.first,
              twoLine.second);
  if (refined.status != RefineStatus::Refined) {
    std::printf("  refine status %d\n", static_cast<int>(refined.status));
    return 1;
  }
  const auto after = worstAndRms(truth, [&](double p) { return wavelengthAt(refined.model, p); });
  Eigen::MatrixXd a(refined.used, 4);
  Eigen::VectorXd b(refined.used);
  int row = 0;
  for (const IdentifiedLine& line : refined.lines) {
    if (!line.rejected) {
      const double x = (line.pixel - 384.0) / 384.0;
      a.row(row) << 1.0, x, x * x, x * x * x;
      b[row++] = line.listed.value;
    }
  }
  const Eigen::VectorXd c = a.colPivHouseholderQr().solve(b);
  const auto cubic = worstAndRms(truth, [&](double p) {
    const double x = (p - 384.0) / 384.0;
    return c[0] + c[1] * x + c[2] * x * x + c[3] * x * x * x;
  });
  std::printf("  refined worst %.3f rms %.3f  cubic worst %.3f  terms", after.first, after.second,
              cubic.first);
  for (const ModelTerm term : refined.terms) {
    std::printf(" %s", std::string(termName(term)).c_str());
  }
  std::printf("  used %d rejected %d loo %.3f start %.3f pred %.3f\n", refined.used,
              refined.rejected, refined.leaveOneOutPx, refined.startRmsPx,
              refined.worstPredictionPx);
  if (std::getenv("PROBE_LINES") != nullptr) {
    for (const IdentifiedLine& line : refined.lines) {
      const auto column = static_cast<size_t>(line.pixel);
      const double fraction = line.pixel - static_cast<double>(column);
      const double there = truth[column] + fraction * (truth[column + 1] - truth[column]);
      const double step = truth[column + 1] - truth[column];
      std::printf("   %8.3f %10.3f %s truth-off %+.3f px\n", line.pixel, line.listed.value,
                  line.rejected ? "rej" : "   ", (there - line.listed.value) / step);
    }
  }
  return 0;
}
