#include "imagefile/fits_reduction.h"

#include <gtest/gtest.h>

#include <cmath>

#include "tests/imagefile/fits_fixtures.h"
#include "tests/support/temp_dir.h"

namespace halvic {

void PrintTo(const Reduction& r, std::ostream* out) {
  *out << (r.axis == DispersionAxis::Rows ? "rows " : "columns ") << r.firstRow << "+" << r.rows
       << " " << r.firstColumn << "+" << r.columns << " bin " << r.bin << (r.flip ? " flip" : "");
}

namespace {

using enum DispersionAxis;

/** 100 + along(x) across(y) at each pixel, x from 1 to width; transposed when asked. */
FitsImage imageOf(int width, int height, double (*along)(int), double (*across)(int),
                  bool transpose = false) {
  FitsImage image{.width = transpose ? height : width, .height = transpose ? width : height};
  image.pixels.resize(static_cast<size_t>(width * height));
  std::vector<double> alongX(static_cast<size_t>(width) + 1);
  for (int x = 1; x <= width; ++x) {
    alongX[static_cast<size_t>(x)] = along(x);
  }
  for (int y = 1; y <= height; ++y) {
    for (int x = 1; x <= width; ++x) {
      const int at = transpose ? (x - 1) * height + y - 1 : (y - 1) * width + x - 1;
      image.pixels[static_cast<size_t>(at)] =
          static_cast<float>(100.0 + alongX[static_cast<size_t>(x)] * across(y));
    }
  }
  return image;
}

double gaussian(double x, double centre, double sigma) {
  return std::exp(-0.5 * (x - centre) * (x - centre) / (sigma * sigma));
}

// An object's trace at y = 120 over the left half of 4000 columns; a lamp's lines at 17 places
// along x over the slit's rows 100 to 299; a hot row at y = 40, brighter than the trace.
double leftHalf(int x) { return x <= 2000 ? 5000.0 : 0.0; }
double trace(int y) { return gaussian(y, 120, 2); }
double traceAndHotRow(int y) { return trace(y) + (y == 40 ? 20.0 : 0.0); }
double slit(int y) { return y >= 100 && y < 300 ? 1.0 : 0.0; }
double lampLines(int x) {
  double lines = 0.0;
  for (int line = 1; line <= 17; ++line) {
    lines += 8000.0 * gaussian(x, 170.0 * line + 0.3 * line * line, 1.5);
  }
  return lines;
}

TEST(ProposeReduction, FindsTheAxisAndTheBrightestTrace) {
  const Reduction object{Rows, 110, 21, 1, 4000, 6, false};
  const Reduction lamp{Rows, 1, 399, 1, 3100, 5, false};
  struct Row {
    std::string name;
    FitsImage image;
    std::optional<Reduction> object;
    Reduction proposed;
  };
  // clang-format off
  const std::vector<Row> rows{
      {"object on the left half", imageOf(4000, 300, leftHalf, trace), {}, object},
      {"object along columns", imageOf(4000, 300, leftHalf, trace, true), {}, {Columns, 1, 4000, 110, 21, 6, false}},
      {"a hot row brighter than the trace", imageOf(4000, 300, leftHalf, traceAndHotRow), {}, object},
      {"lamp", imageOf(3100, 400, lampLines, slit), {}, lamp},
      {"lamp along columns", imageOf(3100, 400, lampLines, slit, true), {}, {Columns, 1, 3100, 1, 399, 5, false}},
      {"lamp with its object's reduction", imageOf(4000, 400, lampLines, slit), object, object},
      {"an object's reduction that does not fit", imageOf(3100, 400, lampLines, slit), object, lamp},
  };
  // clang-format on
  for (const Row& row : rows) {
    EXPECT_EQ(proposeReduction(row.image, row.object), row.proposed) << row.name;
  }
}

TEST(CheckReduction, NamesEveryFieldThatCannotBeUsed) {
  const FitsImage image{.width = 4000, .height = 300};
  const std::vector<std::pair<Reduction, std::vector<ReductionProblem>>> rows{
      {{Rows, 1, 300, 1, 4000, 6}, {}},
      {{Columns, 300, 1, 4000, 1, 1}, {}},
      {{Rows, 0, 20, 4001, 1, 1},
       {{"first_row", "First row must be from 1 to 300."},
        {"first_column", "First column must be from 1 to 4000."}}},
      {{Rows, 290, 20, 1, 0, 1},
       {{"rows", "Rows 290 to 309 run past the image's last row, 300."},
        {"columns", "Columns must be 1 or more."}}},
      {{Rows, 1, 20, 1, 4000, 5},
       {{"bin",
         "Binned by 5, the 4000 columns along the spectrum make 800 strip columns, more "
         "than 768."}}},
      {{Columns, 1, 20, 1, 4000, 21},
       {{"bin", "Binned by 21, the 20 rows along the spectrum make no strip column."}}},
      {{Rows, 1, 20, 1, 4000, 0}, {{"bin", "Bin must be 1 or more."}}},
  };
  for (const auto& [reduction, problems] : rows) {
    EXPECT_EQ(checkReduction(image, reduction), problems);
  }
}

FitsImage valuesOf(int width, int height, double (*value)(int x, int y)) {
  FitsImage image{.width = width, .height = height};
  for (int y = 1; y <= height; ++y) {
    for (int x = 1; x <= width; ++x) {
      image.pixels.push_back(static_cast<float>(value(x, y)));
    }
  }
  return image;
}
double tenXPlusY(int x, int y) { return 10.0 * x + y; }
double atX(int x, int) { return x; }

struct Probe {
  int column, row;
  int16_t value;
};

TEST(ReduceToStrip, AveragesBinsScalesAndMarksSaturation) {
  const auto oneRow = [](std::vector<float> pixels, std::optional<float> storedMaximum = {},
                         std::optional<double> saturate = {}) {
    FitsImage image{.width = static_cast<int>(pixels.size()),
                    .height = 1,
                    .pixels = pixels,
                    .storedMaximum = storedMaximum};
    image.header.saturationLevel = saturate;
    return image;
  };
  struct Row {
    std::string name;
    FitsImage image;
    Reduction reduction;
    int width, height;
    int16_t background;  // the strip's median
    std::vector<Probe> probes;
    int64_t blanks = 0, saturated = 0;
  };
  // Band rows 1, 2 3, 4, 5 6, ... 29 30 of 30 (values 11, 12.5, 14, ... 39.5): the runs of rows
  // alternate one and two.
  // clang-format off
  const std::vector<Row> rows{
      {"30 rows into 20", valuesOf(1, 30, tenXPlusY), {Rows, 1, 30, 1, 1, 1}, 1, 20, 19747, {{1, 1, 8354}, {1, 2, 9494}, {1, 3, 10633}, {1, 20, 30000}}},
      {"binned by 3, the last column dropped", valuesOf(10, 2, atX), {Rows, 1, 2, 1, 10, 3}, 3, 2, 18750, {{1, 2, 7500}, {2, 2, 18750}, {3, 2, 30000}, {4, 2, 0}}},
      {"flipped", valuesOf(10, 1, atX), {Rows, 1, 1, 1, 10, 3, true}, 3, 1, 18750, {{1, 1, 30000}, {2, 1, 18750}, {3, 1, 7500}}},
      {"along columns", valuesOf(3, 6, tenXPlusY), {Columns, 2, 4, 2, 1, 2}, 2, 1, 30000, {{1, 1, 27551}, {2, 1, 30000}}},
      {"a blank set to the median", oneRow({1, NAN, 3, 4, 100}), {Rows, 1, 1, 1, 5, 1}, 5, 1, 1200, {{1, 1, 300}, {2, 1, 1200}, {3, 1, 900}, {5, 1, 30000}}, 1},
      {"negative values", oneRow({-50, 0, 50, 100}), {Rows, 1, 1, 1, 4, 1}, 4, 1, 15000, {{1, 1, 0}, {2, 1, 0}, {3, 1, 15000}, {4, 1, 30000}}},
      {"at the type's maximum", oneRow({100, 65535, 200, 400}, 65535.0f), {Rows, 1, 1, 1, 4, 2}, 2, 1, 32767, {{1, 1, 32767}, {2, 1, 30000}}, 0, 1},
      {"at or above SATURATE", oneRow({999, 1000, 500, 1200}, {}, 1000), {Rows, 1, 1, 1, 4, 1}, 4, 1, 32767, {{1, 1, 30000}, {2, 1, 32767}, {3, 1, 15015}, {4, 1, 32767}}, 0, 2},
  };
  // clang-format on
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const StripReduction reduced = reduceToStrip(row.image, row.reduction, 9.0f);
    ASSERT_TRUE(reduced.strip) << reduced.reason;
    const ReducedStrip& strip = *reduced.strip;
    EXPECT_EQ(strip.width, row.width);
    EXPECT_EQ(strip.height, row.height);
    EXPECT_EQ(strip.background, row.background);
    for (const Probe& probe : row.probes) {
      EXPECT_EQ(strip.image.at(probe.column, probe.row), probe.value)
          << "column " << probe.column << ", row " << probe.row;
    }
    EXPECT_EQ(strip.blankPixelsReplaced, row.blanks);
    EXPECT_EQ(strip.saturatedStripPixels, row.saturated);
    EXPECT_EQ(strip.pixelSizeUm, 9.0f * static_cast<float>(row.reduction.bin));
  }
}

// A 3000-column 16-bit lamp whose lines lie where a known model puts them, written to a file,
// read and reduced by the proposal: each line's centroid on the strip lands where the model and
// the bin of 4 put it (strip column j spans columns 4j - 3 to 4j, centred on 4j - 1.5).
TEST(ReduceToStrip, LinesOfAWideLampLandWhereTheModelPutsThem) {
  const std::vector<double> wavelengths{5852.49, 6143.06, 6402.25, 6506.53, 6929.47, 7032.41};
  const auto model = [](double lambda) {
    return 100.0 + 2.2 * (lambda - 5800.0) + 1e-4 * (lambda - 5800.0) * (lambda - 5800.0);
  };
  const auto lamp = [&](long index) {
    double lines = 0.0;
    for (double lambda : wavelengths) {
      lines += gaussian(static_cast<double>(index % 3000 + 1), model(lambda), 2.0);
    }
    return std::round(1000.0 + (index / 3000 >= 100 && index / 3000 < 200 ? 20000.0 * lines : 0));
  };
  const test::TempDir dir;
  const std::string path = dir.file("lamp.fits");
  ASSERT_EQ(test::writeFits(path, {.bitpix = USHORT_IMG, .axes = {3000, 300}, .value = lamp}), 0);
  const FitsImageRead read = readFitsImage(path);
  ASSERT_TRUE(read.image) << read.reason;
  const Reduction reduction = proposeReduction(*read.image, std::nullopt);
  ASSERT_EQ(reduction.bin, 4);
  const ReducedStrip strip = *reduceToStrip(*read.image, reduction, std::nullopt).strip;
  for (double lambda : wavelengths) {
    const int near = static_cast<int>(std::lround((model(lambda) + 1.5) / 4.0));
    double weight = 0.0;
    double moment = 0.0;
    for (int column = near - 3; column <= near + 3; ++column) {
      const double light = std::max(0, strip.image.at(column, 10) - strip.background);
      weight += light;
      moment += light * column;
    }
    EXPECT_NEAR(4.0 * moment / weight - 1.5, model(lambda), 0.2) << lambda;
  }
}

}  // namespace
}  // namespace halvic
