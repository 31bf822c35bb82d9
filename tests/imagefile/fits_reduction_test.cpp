#include "imagefile/fits_reduction.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "tests/imagefile/fits_fixtures.h"
#include "tests/support/temp_dir.h"

namespace halvic {

void PrintTo(const Reduction& r, std::ostream* out) {
  *out << (r.axis == DispersionAxis::Rows ? "rows" : "columns") << " " << r.firstRow << "+"
       << r.rows << " " << r.firstColumn << "+" << r.columns << " bin " << r.bin
       << (r.flip ? " flipped" : "");
}

namespace {

/** sky + along(x) across(y) at every pixel, or the transposed image. */
FitsImage imageOf(int width, int height, double (*along)(int), double (*across)(int),
                  bool transpose = false) {
  FitsImage image{.width = transpose ? height : width, .height = transpose ? width : height};
  image.pixels.resize(static_cast<size_t>(width * height));
  std::vector<double> alongX;
  for (int x = 1; x <= width; ++x) {
    alongX.push_back(along(x));
  }
  for (int y = 1; y <= height; ++y) {
    for (int x = 1; x <= width; ++x) {
      const size_t at = transpose ? static_cast<size_t>((x - 1) * height + y - 1)
                                  : static_cast<size_t>((y - 1) * width + x - 1);
      image.pixels[at] = static_cast<float>(100.0 + alongX[static_cast<size_t>(x - 1)] * across(y));
    }
  }
  return image;
}

double gaussian(double x, double centre, double sigma) {
  return std::exp(-0.5 * (x - centre) * (x - centre) / (sigma * sigma));
}

// An object's trace at y = 120 over the left half of 4000 columns; a lamp's lines at 17 places
// along x, lit over the slit's rows 100 to 299.
double leftHalf(int x) { return x <= 2000 ? 5000.0 : 0.0; }
double trace(int y) { return gaussian(y, 120, 2); }
double lampLines(int x) {
  double lines = 0.0;
  for (int line = 1; line <= 17; ++line) {
    lines += 8000.0 * gaussian(x, 170.0 * line + 0.3 * line * line, 1.5);
  }
  return lines;
}
double slit(int y) { return y >= 100 && y < 300 ? 1.0 : 0.0; }

FitsImage withHotRow(FitsImage image, int row) {
  for (int x = 1; x <= image.width; ++x) {
    image.pixels[static_cast<size_t>((row - 1) * image.width + x - 1)] += 1e5f;
  }
  return image;
}

TEST(ProposeReduction, FindsTheAxisAndTheBrightestTrace) {
  using enum DispersionAxis;
  const Reduction objects{Rows, 110, 21, 1, 4000, 6, false};
  struct Row {
    std::string name;
    FitsImage image;
    std::optional<Reduction> object;
    Reduction proposed;
  };
  const std::vector<Row> rows{
      {"object on the left half", imageOf(4000, 300, leftHalf, trace), std::nullopt, objects},
      {"object along columns",
       imageOf(4000, 300, leftHalf, trace, true),
       std::nullopt,
       {Columns, 1, 4000, 110, 21, 6, false}},
      {"a hot row brighter than the trace", withHotRow(imageOf(4000, 300, leftHalf, trace), 40),
       std::nullopt, objects},
      {"lamp",
       imageOf(3100, 400, lampLines, slit),
       std::nullopt,
       {Rows, 1, 399, 1, 3100, 5, false}},
      {"lamp along columns",
       imageOf(3100, 400, lampLines, slit, true),
       std::nullopt,
       {Columns, 1, 3100, 1, 399, 5, false}},
      {"lamp with its object's reduction", imageOf(4000, 400, lampLines, slit), objects, objects},
      {"an object's reduction that does not fit",
       imageOf(3100, 400, lampLines, slit),
       objects,
       {Rows, 1, 399, 1, 3100, 5, false}},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(proposeReduction(row.image, row.object), row.proposed) << row.name;
  }
}
TEST(CheckReduction, NamesEveryFieldThatCannotBeUsed) {
  using enum DispersionAxis;
  const FitsImage image{.width = 4000, .height = 300};
  struct Row {
    Reduction reduction;
    std::vector<ReductionProblem> problems;
  };
  const std::vector<Row> rows{
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
  for (const Row& row : rows) {
    EXPECT_EQ(checkReduction(image, row.reduction), row.problems);
  }
}

struct Probe {
  int column;
  int row;
  int16_t value;
};

TEST(ReduceToStrip, AveragesBinsScalesAndMarksSaturation) {
  using enum DispersionAxis;
  const auto byColumn = [](int x, int) { return static_cast<double>(x); };
  const auto byRow = [](int x, int y) { return 10.0 * x + y; };
  const auto values = [](std::vector<float> pixels) {
    return FitsImage{.width = static_cast<int>(pixels.size()), .height = 1, .pixels = pixels};
  };
  const auto of = [](int width, int height, double (*value)(int, int)) {
    FitsImage image{.width = width, .height = height};
    for (int y = 1; y <= height; ++y) {
      for (int x = 1; x <= width; ++x) {
        image.pixels.push_back(static_cast<float>(value(x, y)));
      }
    }
    return image;
  };
  FitsImage saturatedAtType = values({100, 65535, 200, 400});
  saturatedAtType.storedMaximum = 65535.0f;
  FitsImage saturatedByHeader = values({999, 1000, 500, 1200});
  saturatedByHeader.header.saturationLevel = 1000;
  struct Row {
    std::string name;
    FitsImage image;
    Reduction reduction;
    int width, height;
    int16_t background;  // the strip's median
    std::vector<Probe> probes;
    int64_t blanks = 0, saturated = 0;
  };
  const std::vector<Row> rows{
      // Band rows 1, 2 3, 4, 5 6, ... 29 30 (values 11, 12.5, 14, 15.5, ... 39.5): the runs
      // alternate one and two rows.
      {"30 rows into 20",
       of(1, 30, byRow),
       {Rows, 1, 30, 1, 1, 1},
       1,
       20,
       19747,
       {{1, 1, 8354}, {1, 2, 9494}, {1, 3, 10633}, {1, 20, 30000}}},
      {"binned by 3, the last column dropped",
       of(10, 2, byColumn),
       {Rows, 1, 2, 1, 10, 3},
       3,
       2,
       18750,
       {{1, 2, 7500}, {2, 2, 18750}, {3, 2, 30000}, {4, 2, 0}}},
      {"flipped",
       of(10, 1, byColumn),
       {Rows, 1, 1, 1, 10, 3, true},
       3,
       1,
       18750,
       {{1, 1, 30000}, {2, 1, 18750}, {3, 1, 7500}}},
      {"along columns",
       of(3, 6, byRow),
       {Columns, 2, 4, 2, 1, 2},
       2,
       1,
       30000,
       {{1, 1, 27551}, {2, 1, 30000}}},
      {"a blank set to the median",
       values({1, NAN, 3, 4, 100}),
       {Rows, 1, 1, 1, 5, 1},
       5,
       1,
       1200,
       {{1, 1, 300}, {2, 1, 1200}, {3, 1, 900}, {5, 1, 30000}},
       1},
      {"negative values",
       values({-50, 0, 50, 100}),
       {Rows, 1, 1, 1, 4, 1},
       4,
       1,
       15000,
       {{1, 1, 0}, {2, 1, 0}, {3, 1, 15000}, {4, 1, 30000}}},
      {"at the type's maximum",
       saturatedAtType,
       {Rows, 1, 1, 1, 4, 2},
       2,
       1,
       32767,
       {{1, 1, 32767}, {2, 1, 30000}},
       0,
       1},
      {"at or above SATURATE",
       saturatedByHeader,
       {Rows, 1, 1, 1, 4, 1},
       4,
       1,
       32767,
       {{1, 1, 30000}, {2, 1, 32767}, {3, 1, 15015}, {4, 1, 32767}},
       0,
       2},
  };
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

// A 3000-column 16-bit lamp whose lines lie where a known model puts them: read from its file and
// reduced by the proposal, each line's centroid on the strip lands where the model and the bin
// put it.
TEST(ReduceToStrip, LinesOfAWideLampLandWhereTheModelPutsThem) {
  const std::vector<double> wavelengths{5852.49, 6143.06, 6402.25, 6506.53, 6929.47, 7032.41};
  const auto model = [](double lambda) {
    return 100.0 + 2.2 * (lambda - 5800.0) + 1e-4 * (lambda - 5800.0) * (lambda - 5800.0);
  };
  const test::TempDir dir;
  const std::string path = dir.file("lamp.fits");
  const auto lamp = [&](long index) {
    const long x = index % 3000 + 1;
    const long y = index / 3000 + 1;
    double lines = 0.0;
    for (double lambda : wavelengths) {
      lines += gaussian(static_cast<double>(x), model(lambda), 2.0);
    }
    return std::round(1000.0 + (y > 100 && y <= 200 ? 20000.0 * lines : 0.0));
  };
  ASSERT_EQ(test::writeFits(path, {.bitpix = USHORT_IMG, .axes = {3000, 300}, .value = lamp}), 0);
  const FitsImageRead read = readFitsImage(path);
  ASSERT_TRUE(read.image) << read.reason;
  const Reduction reduction = proposeReduction(*read.image, std::nullopt);
  ASSERT_EQ(reduction.bin, 4);
  const StripReduction reduced = reduceToStrip(*read.image, reduction, std::nullopt);
  ASSERT_TRUE(reduced.strip) << reduced.reason;
  const ReducedStrip& strip = *reduced.strip;
  for (double lambda : wavelengths) {
    // Strip column j spans original columns 4j - 3 to 4j, centred on 4j - 1.5.
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
