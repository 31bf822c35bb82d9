#include "calibration/lamp_reidentify.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <random>
#include <string_view>
#include <vector>

#include "calibration/centroid.h"
#include "calibration/grating_solve.h"
#include "calibration/line_check.h"
#include "tests/support/grating_examples.h"

namespace halvic {
namespace {

constexpr double kAsGoodAsTheNoisePx = 0.01;
/** Whatever the fresh calibration, a re-identified model stays well within a column. */
constexpr double kMostErrorPx = 0.25;
/** The worked example's groove spacing, in um, which every lamp but another grating's has. */
constexpr double kSameGrating = 6.666666;

using test::wavelengthAt;

/** The column where the model puts the wavelength; far off the strip when it lies beyond it. */
double columnOf(const GratingModel& model, double wavelength) {
  return modelPixelOf(model, wavelength, kImageColumns).value_or(-1000.0);
}

/**
 * A lamp whose column p shows what the model shows at where(p)'s inverse: lines of 2.5 px, with
 * the photon noise of its counts drawn from seed.
 */
ProfileArray lampOf(const GratingModel& model, std::span<const LineWavelength> listed,
                    const std::function<double(double)>& moved, unsigned seed) {
  std::vector<double> values(kProfileColumns + 1, 50.0);
  for (size_t i = 0; i < listed.size(); ++i) {
    const double centre = moved(columnOf(model, listed[i].value));
    const double height = 2000.0 + 1500.0 * static_cast<double>(i % 5);
    for (int column = 1; column <= kProfileColumns; ++column) {
      const double x = (column - centre) / 1.06;
      values[static_cast<size_t>(column)] += height * std::exp(-0.5 * x * x);
    }
  }
  std::mt19937 noise(seed);
  ProfileArray profile;
  for (int column = 1; column <= kProfileColumns; ++column) {
    const double counts = values[static_cast<size_t>(column)];
    const double noisy = std::normal_distribution<double>(counts, std::sqrt(counts))(noise);
    profile.set(column, static_cast<int32_t>(std::lround(noisy)));
  }
  return profile;
}

/**
 * A calibration made afresh on the lamp, as a user makes one: lines 10 and 30 of the list marked
 * with the 5-column box where the lamp shows them, the two-line solve for the grating set, and the
 * refine applied when it improves.
 */
GratingModel freshModel(const ProfileArray& lamp, std::span<const LineWavelength> listed,
                        const std::function<double(double)>& columnOfListed) {
  const auto marked = [&](size_t line) {
    const auto cursor = static_cast<int16_t>(std::lround(columnOfListed(listed[line].value)));
    return centroidLine(lamp, kProfileColumns, cursor, 5).pixel;
  };
  const LineMarks marks{listed[10], listed[30], marked(10), marked(30)};
  const GratingModel truth = test::workedExampleModel();
  GratingModel start = kStartModel;
  start.xPixelSize = truth.xPixelSize;
  // The dispersion a user reads off the lamp, in A/mm: the step at the centre over the pixel.
  const auto dispersion =
      static_cast<float>(std::fabs(wavelengthAt(truth, 381.5) - wavelengthAt(truth, 380.5)) /
                         (truth.xPixelSize / 1e3));
  const SolveResult solve =
      solveGratingModel(start, marks, dispersion, false, truth.grooveSpacingUm);
  const ImageArray image;
  const LampRefine refine = refineOnLampLines(LampRefineInputs{
      LampProfile{lamp, kProfileColumns, image, 1, 20}, solve.model, marks, listed, true});
  return refine.improved() ? refine.model : solve.model;
}

std::vector<int32_t> columnsOf(const ProfileArray& profile) {
  std::vector<int32_t> values;
  for (int column = 1; column <= kProfileColumns; ++column) {
    values.push_back(profile.at(column));
  }
  return values;
}

// The worked example's lamp moved along the strip and stretched about its centre: the shift is
// found, and the re-identified model gives the moved lamp's wavelengths within 1.5 times the
// worst error of a calibration made afresh on it; a lamp of another grating is refused.
TEST(Reidentify, FollowsALampMovedAlongTheStrip) {
  struct Row {
    std::string_view name;
    double shiftPx;
    double stretch;
    double grooveSpacingUm;  // of the new lamp's spectrograph
    bool taken;
  };
  const std::vector<Row> rows{
      {"the same lamp", 0.0, 0.0, kSameGrating, true},
      {"15 columns right", 15.0, 0.0, kSameGrating, true},
      {"15 columns left", -15.0, 0.0, kSameGrating, true},
      {"a fraction right", 7.3, 0.0, kSameGrating, true},
      {"moved and stretched 0.3 %", -9.6, 0.003, kSameGrating, true},
      {"shrunk 0.3 %", 12.2, -0.003, kSameGrating, true},
      {"another grating", 0.0, 0.0, 3.333333, false},
  };
  const std::vector<LineWavelength> listed = lampLineWavelengths();
  const GratingModel model = test::workedExampleModel();
  const ProfileArray saved = lampOf(
      model, listed, [](double column) { return column; }, 1);
  Calibration calibration;
  calibration.model = model;
  calibration.calibrated = true;
  calibration.marks =
      LineMarks{listed[10], listed[30], static_cast<float>(columnOf(model, listed[10].value)),
                static_cast<float>(columnOf(model, listed[30].value))};
  const std::vector<int32_t> savedLamp = columnsOf(saved);
  const ImageArray image;
  unsigned seed = 2;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    GratingModel lampModel = model;
    lampModel.grooveSpacingUm = row.grooveSpacingUm;
    const auto moved = [&](double column) {
      return 381.0 + (column - 381.0) * (1.0 + row.stretch) + row.shiftPx;
    };
    const ProfileArray lamp = lampOf(lampModel, listed, moved, seed++);
    const Reidentification result = reidentifyOnLamp(ReidentifyInputs{
        calibration, savedLamp, LampProfile{lamp, kProfileColumns, image, 1, 20}, listed, true});
    ASSERT_EQ(result.calibration.has_value(), row.taken) << result.reason;
    if (!row.taken) {
      continue;
    }
    if (row.stretch == 0.0) {
      EXPECT_NEAR(result.shiftPx, row.shiftPx, 0.051);
    }
    const auto worstErrorPx = [&](const GratingModel& found) {
      double worstPx = 0.0;
      for (int column = 1; column <= kImageColumns; ++column) {
        const double truth =
            wavelengthAt(model, 381.0 + (column - 381.0 - row.shiftPx) / (1.0 + row.stretch));
        const double step =
            std::fabs(wavelengthAt(model, column + 0.5) - wavelengthAt(model, column - 0.5));
        worstPx = std::max(worstPx, std::fabs(wavelengthAt(found, column) - truth) / step);
      }
      return worstPx;
    };
    const double fresh = worstErrorPx(freshModel(
        lamp, listed, [&](double wavelength) { return moved(columnOf(model, wavelength)); }));
    const double reidentified = worstErrorPx(result.calibration->model);
    // Within a hundredth of a column both are as good as the lamp's noise allows; they differ
    // only in which noisy lines each took.
    EXPECT_LE(reidentified, std::max(1.5 * fresh, kAsGoodAsTheNoisePx))
        << "a fresh calibration is " << fresh << " px off";
    EXPECT_LT(reidentified, kMostErrorPx);
    EXPECT_GT(result.calibration->refinedLines, 15);
  }
}

TEST(Reidentify, RefusesWhatCannotBeLaidOnTheSavedLamp) {
  const std::vector<int32_t> lamp = [] {
    std::vector<int32_t> values(kProfileColumns, 10);
    values[300] = 5000;
    return values;
  }();
  struct Row {
    std::string_view name;
    std::vector<int32_t> saved;
    std::vector<int32_t> lamp;
  };
  std::vector<int32_t> far = lamp;
  std::rotate(far.begin(), far.begin() + 200, far.end());
  const std::vector<Row> rows{
      {"a flat saved lamp", std::vector<int32_t>(kProfileColumns, 10), lamp},
      {"a flat new lamp", lamp, std::vector<int32_t>(kProfileColumns, 0)},
      {"a lamp 200 columns away", lamp, far},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(lampShift(row.saved, row.lamp), std::nullopt);
  }
}

}  // namespace
}  // namespace halvic
