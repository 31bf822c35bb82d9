#include "output/graph_printout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "tests/support/grating_examples.h"

namespace halvic {
namespace {

/** One drawing call as the printout handed it over: a text or a line. */
struct Op {
  bool isText = false;
  double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  std::string text;

  friend bool operator==(const Op&, const Op&) = default;
  friend std::ostream& operator<<(std::ostream& out, const Op& op) {
    if (op.isText) {
      return out << "text " << op.x1 << ' ' << op.y1 << " '" << op.text << "'";
    }
    return out << "line " << op.x1 << ' ' << op.y1 << ' ' << op.x2 << ' ' << op.y2;
  }
};

Op text(double x, double y, std::string_view content) {
  return Op{.isText = true, .x1 = x, .y1 = y, .text = std::string(content)};
}
Op line(double x1, double y1, double x2, double y2) {
  return Op{.x1 = x1, .y1 = y1, .x2 = x2, .y2 = y2};
}

/**
 * A canvas that records what it is handed, unrounded. Texts measure 7.4 units a character wide
 * and 12.6 high, so that the printout's rounding of text sizes shows: widths of 1 to 8 characters
 * round to 7, 15, 22, 30, 37, 44, 52, 59, and the height to 13.
 */
class RecordingCanvas : public ui::PrinterCanvas {
 public:
  RecordingCanvas(int width, int height) : width_(width), height_(height) {}

  void setLandscape() override { landscapeBeforeDrawing = ops.empty(); }
  int pageWidth() const override { return width_; }
  int pageHeight() const override { return height_; }
  double textWidth(std::string_view content) const override {
    return characterWidth * static_cast<double>(content.size());
  }
  double textHeight(std::string_view /*content*/) const override { return 12.6; }
  void text(double x, double y, std::string_view content) override {
    ops.push_back(halvic::text(x, y, content));
  }
  void line(double x1, double y1, double x2, double y2) override {
    ops.push_back(halvic::line(x1, y1, x2, y2));
  }
  bool endDocument() override { return true; }

  std::vector<Op> ops;
  std::optional<bool> landscapeBeforeDrawing;
  double characterWidth = 7.4;

 private:
  int width_;
  int height_;
};

/** Profile value step x column, for columns 1 to 768. */
ProfileArray rampProfile(int32_t step = 10) {
  ProfileArray profile;
  for (int column = 1; column <= kProfileColumns; ++column) {
    profile.set(column, step * column);
  }
  return profile;
}

// The model of the samples: 600 lines/mm and a negative focal length, so that the wavelength rises
// with the pixel number: 5480.21 A at pixel 1, 6808.83 A at pixel 765.
GratingModel samplesModel() {
  GratingModel model;
  model.xPixelSize = 9.0f;
  model.focalLengthMm = -84.19701623846561;
  model.alphaDeg = 10.683204335508098;
  model.grooveSpacingUm = 1.666666;
  return model;
}

// Where each part of the page starts among the drawing calls, in the order drawn: title, axis
// title, 20 vertical ticks, 11 scale labels, then the horizontal ticks (2 a tick) and labels, the
// frame (4), the curve and the two extreme labels.
constexpr std::size_t kFirstVerticalTick = 2;
constexpr std::size_t kFirstScaleLabel = 22;
constexpr std::size_t kFirstHorizontalTick = 33;

struct Expected {
  std::string_view name;
  std::size_t index;
  Op op;
};

void expectOps(const std::vector<Op>& ops, const std::vector<Expected>& rows) {
  for (const Expected& row : rows) {
    SCOPED_TRACE(row.name);
    ASSERT_LT(row.index, ops.size());
    EXPECT_EQ(ops[row.index], row.op);
  }
}

TEST(PrintoutGeometry, FollowsThePageSize) {
  struct Row {
    std::string_view name;
    int64_t width, height;
    PrintoutGeometry geometry;
    double rowStep;
  };
  // Worked by hand: left = W x 10 \ 100, top = H x 10 \ 100, plotW = W x 8 \ 10,
  // plotH = H x 8 \ 10, tick = H \ 100, bottom = top + plotH, rowStep = plotH / 11.
  const std::vector<Row> rows{
      {"1000 x 800", 1000, 800, {1000, 800, 100, 80, 800, 640, 8, 720}, 58.181818},
      {"divisions towards zero", 1234, 567, {1234, 567, 123, 56, 987, 453, 5, 509}, 41.181818},
      {"A4 landscape at 600 dpi",
       6814,
       4760,
       {6814, 4760, 681, 476, 5451, 3808, 47, 4284},
       346.181818},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const PrintoutGeometry page = printoutGeometry(row.width, row.height);
    EXPECT_EQ(page.pageWidth, row.geometry.pageWidth);
    EXPECT_EQ(page.pageHeight, row.geometry.pageHeight);
    EXPECT_EQ(page.left, row.geometry.left);
    EXPECT_EQ(page.top, row.geometry.top);
    EXPECT_EQ(page.plotW, row.geometry.plotW);
    EXPECT_EQ(page.plotH, row.geometry.plotH);
    EXPECT_EQ(page.tick, row.geometry.tick);
    EXPECT_EQ(page.bottom, row.geometry.bottom);
    EXPECT_NEAR(page.rowStep, row.rowStep, 1e-4);
  }
}

TEST(ClipToRectangle, CutsAtTheEdgesAndKeepsEndsInside) {
  struct Row {
    std::string_view name;
    double x1, y1, x2, y2;
    bool visible;
    double cx1, cy1, cx2, cy2;
  };
  // The rectangle [100, 900] x [80, 720].
  const std::vector<Row> rows{
      {"inside", 101.3, 700.7, 102.9, 699.1, true, 101.3, 700.7, 102.9, 699.1},
      {"on the edges", 100, 80, 900, 720, true, 100, 80, 900, 720},
      {"leaves through the top", 500, 720, 500, -560, true, 500, 720, 500, 80},
      {"enters through the left", 0, 400, 200, 400, true, 100, 400, 200, 400},
      {"crosses two edges", 50, 400, 150, 0, true, 100, 200, 130, 80},
      {"wholly above", 200, 0, 300, 50, false, 200, 0, 300, 50},
      {"outside past a corner", 50, 100, 120, 30, false, 50, 100, 120, 30},
      {"a point outside", 950, 400, 950, 400, false, 950, 400, 950, 400},
      {"a point inside", 300, 400, 300, 400, true, 300, 400, 300, 400},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    double x1 = row.x1, y1 = row.y1, x2 = row.x2, y2 = row.y2;
    EXPECT_EQ(clipToRectangle(x1, y1, x2, y2, 100, 80, 900, 720), row.visible);
    EXPECT_DOUBLE_EQ(x1, row.cx1);
    EXPECT_DOUBLE_EQ(y1, row.cy1);
    EXPECT_DOUBLE_EQ(x2, row.cx2);
    EXPECT_DOUBLE_EQ(y2, row.cy2);
  }
}

// The page 1000 x 800: left 100, top 80, plotW 800, plotH 640, tick 8, bottom 720,
// rowStep 58.18182. Vertical ticks at 80 + [k x 58.18182]: 138, 196, 255, ..., 604, 662.
// Pixel axis: colStep = 800 x 50 / 765 = 52.28758, ticks at 100 + [k x colStep]: 152, 205, ...,
// 884. A label of n characters is [7.4 n] wide, a text 13 high.
TEST(DrawGraphPrintout, PixelAxisPage) {
  const ProfileArray profile = rampProfile();
  RecordingCanvas canvas(1000, 800);
  const GraphPrintout result = drawGraphPrintout(
      canvas, {.profile = profile, .profileMax = 12345, .profileMin = 0, .title = "Lamp"});
  ASSERT_TRUE(result.drawn);
  EXPECT_EQ(result.lastEvaluated, std::nullopt);
  EXPECT_EQ(canvas.landscapeBeforeDrawing, true);
  // 2 titles, 20 + 11 scale, 30 + 16 pixel axis, 4 frame, 764 curve, 2 extremes.
  ASSERT_EQ(canvas.ops.size(), 849U);
  constexpr std::size_t kLabels = kFirstHorizontalTick + 30;
  constexpr std::size_t kCurve = kLabels + 16 + 4;
  expectOps(canvas.ops,
            {
                // Title: x = 1000 / 2 - [30 / 2], y = 80 - 2 x 13.
                {"title", 0, text(485, 54, "Lamp")},
                // "Pixel Number": 12 characters, 89 wide; x = 500 - [44.5] = 456; y = 720 + 8 + 26.
                {"axis title", 1, text(456, 754, "Pixel Number")},
                {"tick 1 left edge", kFirstVerticalTick, line(100, 138, 108, 138)},
                {"tick 1 right edge", kFirstVerticalTick + 1, line(900, 138, 892, 138)},
                {"tick 3 left edge", kFirstVerticalTick + 4, line(100, 255, 108, 255)},
                {"tick 10 right edge", kFirstVerticalTick + 19, line(900, 662, 892, 662)},
                // " 100" is 30 wide: x = 100 - 8 - 30; y = 138 - [6.5].
                {"label 100", kFirstScaleLabel, text(62, 132, " 100")},
                // " 70" is 22 wide: x = 100 - 8 - 22; y = 313 - 6.
                {"label 70", kFirstScaleLabel + 3, text(70, 307, " 70")},
                {"label 10", kFirstScaleLabel + 9, text(70, 656, " 10")},
                // "0" is 7 wide: x = 100 - 8 - 7; y = 720 - 13.
                {"label 0", kFirstScaleLabel + 10, text(85, 707, "0")},
                {"pixel tick 1 bottom", kFirstHorizontalTick, line(152, 720, 152, 712)},
                {"pixel tick 1 top", kFirstHorizontalTick + 1, line(152, 88, 152, 80)},
                {"pixel tick 15 top", kFirstHorizontalTick + 29, line(884, 88, 884, 80)},
                // " 0" is 15 wide: x = 100 + 0 - [7.5] = 92; y = 720 + 8.
                {"pixel label 0", kLabels, text(92, 728, " 0")},
                {"pixel label 50", kLabels + 1, text(152 - 11, 728, " 50")},
                {"pixel label 750", kLabels + 15, text(884 - 15, 728, " 750")},
                {"frame left", kLabels + 16, line(100, 80, 100, 720)},
                {"frame bottom", kLabels + 17, line(100, 720, 900, 720)},
                {"frame right", kLabels + 18, line(900, 720, 900, 80)},
                {"frame top", kLabels + 19, line(900, 80, 100, 80)},
                // x(j) = [100 + j x 800 / 765]; y(v) = [720 - v / (12345 x 1.1) x 640]:
                // (101.05, 719.53) to (102.09, 719.06), and (898.95, 359.93) to (900, 359.46).
                {"first curve segment", kCurve, line(101, 720, 102, 719)},
                {"last curve segment", kCurve + 763, line(899, 360, 900, 359)},
                // "( 12345)" is 59 wide: x = 92 - 59; y = 80 + 640 \ 11 + 13 / 2, half not rounded.
                {"maximum label", kCurve + 764, text(33, 144.5, "( 12345)")},
                // "( 0)" is 30 wide; y = 720 - 2 x 13.
                {"minimum label", kCurve + 765, text(62, 694, "( 0)")},
            });
}

TEST(DrawGraphPrintout, TitleOnAPageOfOddWidthIsHandedOverUnrounded) {
  const ProfileArray profile = rampProfile();
  RecordingCanvas canvas(1001, 800);
  ASSERT_TRUE(
      drawGraphPrintout(
          canvas, {.profile = profile, .profileMax = -42, .profileMin = -1000, .title = "Lamp"})
          .drawn);
  ASSERT_FALSE(canvas.ops.empty());
  EXPECT_EQ(canvas.ops.front(), text(485.5, 54, "Lamp"));
  // Negative extremes carry their minus sign instead of the blank: "(-42)" is 37 wide,
  // "(-1000)" 52; left = 100, tick = 8.
  ASSERT_GE(canvas.ops.size(), 2U);
  EXPECT_EQ(canvas.ops[canvas.ops.size() - 2], text(55, 144.5, "(-42)"));
  EXPECT_EQ(canvas.ops.back(), text(40, 694, "(-1000)"));
}

// Wavelength axis: colStep = 800 / 18 = 44.44444, ticks at 144, 189, ..., 856; labels from the
// axis start in 200 A steps, 19 of them, the last on the right edge (900). Curve x by an
// independent double-precision computation of the model, xw(j) = 100 + (w - start) x 800 / 3600
// as a 32-bit float.
TEST(DrawGraphPrintout, WavelengthAxisPages) {
  struct Row {
    std::string_view name;
    GratingModel model;
    int start;
    Op firstSegment, lastSegment;
    double lastWavelength, lastBetaDeg;
  };
  const std::vector<Row> rows{
      // 4147.30 A at pixel 765 is the shorter: 4147 \ 200 x 200 = 4000. Column 1 at 855.25,
      // column 2 at 854.30, column 764 at 133.68, column 765 at 132.73.
      {"falling wavelength", test::workedExampleModel(), 4000, line(855, 720, 854, 719),
       line(134, 360, 133, 359), 4147.299924337221, 1.0858999375383533},
      // Rising: 5480.21 A at pixel 1 is the shorter: start 5400 (not 6800 from pixel 765, which
      // would put the curve left of the frame). Columns 1 and 2 at 117.82 and 118.21, 764 and 765
      // at 412.69 and 413.07.
      {"rising wavelength", samplesModel(), 5400, line(118, 720, 118, 719),
       line(413, 360, 413, 359), 6808.828148913911, 13.033681005421727},
  };
  constexpr std::size_t kLabels = kFirstHorizontalTick + 34;
  constexpr std::size_t kCurve = kLabels + 19 + 4;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const ProfileArray profile = rampProfile();
    RecordingCanvas canvas(1000, 800);
    const GraphPrintout result = drawGraphPrintout(canvas, {.profile = profile,
                                                            .profileMax = 12345,
                                                            .profileMin = 0,
                                                            .title = "Lamp",
                                                            .calibration = row.model});
    ASSERT_TRUE(result.drawn);
    ASSERT_EQ(canvas.ops.size(), kCurve + 764 + 2);
    std::vector<Expected> expected{
        // "Wavelength in Angstroms": 23 characters, 170 wide; x = 500 - 85.
        {"axis title", 1, text(415, 754, "Wavelength in Angstroms")},
        {"tick 1 bottom", kFirstHorizontalTick, line(144, 720, 144, 712)},
        {"tick 17 top", kFirstHorizontalTick + 33, line(856, 88, 856, 80)},
        {"frame left", kLabels + 19, line(100, 80, 100, 720)},
        {"first curve segment", kCurve, row.firstSegment},
        {"last curve segment", kCurve + 763, row.lastSegment},
        {"maximum label", kCurve + 764, text(33, 144.5, "( 12345)")},
    };
    // Five characters each, 37 wide: centred at tick x - [18.5] = tick x - 18.
    const std::vector<double> tickXs{100, 144, 189, 233, 278, 322, 367, 411, 456, 500,
                                     544, 589, 633, 678, 722, 767, 811, 856, 900};
    ASSERT_EQ(tickXs.size(), 19U);
    for (std::size_t k = 0; k < tickXs.size(); ++k) {
      // Appended rather than " " + ..., which GCC 12's -Wrestrict misreads in a Release build.
      std::string label(" ");
      label += std::to_string(row.start + 200 * static_cast<int>(k));
      expected.push_back({"wavelength label", kLabels + k, text(tickXs[k] - 18, 728, label)});
    }
    expectOps(canvas.ops, expected);
    ASSERT_TRUE(result.lastEvaluated.has_value());
    EXPECT_NEAR(result.lastEvaluated->wavelength, row.lastWavelength, 1e-7);
    EXPECT_NEAR(result.lastEvaluated->betaDeg, row.lastBetaDeg, 1e-10);
  }
}

GratingModel wide70mm() {
  GratingModel model = test::workedExampleModel();
  model.focalLengthMm = 70.0;
  return model;
}

bool insideFrame(double x, double y) { return x >= 100 && x <= 900 && y >= 80 && y <= 720; }

// A page of 1000 x 800 (frame [100, 900] x [80, 720]) on a scale of 0 to 1000; every line after
// the frame's four up to the two extreme labels belongs to the curve.
TEST(DrawGraphPrintout, CurveIsCutAtTheFrame) {
  struct Row {
    std::string_view name;
    ProfileArray profile;
    std::optional<GratingModel> calibration;
    std::size_t curveLines;
    std::vector<Op> cutLines;
  };
  // Columns 400 and 401 at 2200: y = 720 - 2200 / 1100 x 640 = -560. Column 399 sits at x
  // 517.25, 400 at 518.30, 401 at 519.35, 402 at 520.39; the segments rising to the spike and
  // falling from it meet the top edge half way, at x 517.78 and 519.87; the segment between the
  // two spike columns lies wholly above and is not drawn.
  ProfileArray spike;
  spike.set(400, 2200);
  spike.set(401, 2200);
  // With a 70 mm camera the worked example spans 9010 A (pixel 1) to 2513 A (pixel 765), more
  // than the 3600 A from 2400 that the axis shows. By an independent computation of the model,
  // columns 1 to 355 lie right of the frame (column 355 at x 900.82, 356 at 898.93); the segment
  // between them is cut at the right edge at y 512.87 (the profile is 1 x column, y = 720 - column
  // x 640 / 1100), leaving 410 of the 764 segments.
  const std::vector<Row> rows{
      {"spike above the top edge",
       spike,
       std::nullopt,
       763,
       {line(517, 720, 518, 80), line(520, 80, 520, 720)}},
      {"spectrum wider than the axis", rampProfile(1), wide70mm(), 410, {line(900, 513, 899, 513)}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    RecordingCanvas canvas(1000, 800);
    ASSERT_TRUE(drawGraphPrintout(canvas, {.profile = row.profile,
                                           .profileMax = 1000,
                                           .profileMin = 0,
                                           .title = "Lamp",
                                           .calibration = row.calibration})
                    .drawn);
    const std::size_t axisOps = row.calibration ? 34 + 19 : 30 + 16;
    const std::size_t curveStart = kFirstHorizontalTick + axisOps + 4;
    ASSERT_EQ(canvas.ops.size(), curveStart + row.curveLines + 2);
    const std::vector<Op> curve(canvas.ops.begin() + static_cast<std::ptrdiff_t>(curveStart),
                                canvas.ops.end() - 2);
    for (const Op& op : curve) {
      ASSERT_FALSE(op.isText);
      EXPECT_TRUE(insideFrame(op.x1, op.y1) && insideFrame(op.x2, op.y2)) << op;
    }
    for (const Op& op : row.cutLines) {
      EXPECT_NE(std::find(curve.begin(), curve.end(), op), curve.end()) << op;
    }
  }
}

TEST(DrawGraphPrintout, FailsWithoutDrawingWhatCannotBeWorkedOut) {
  struct Row {
    std::string_view name;
    int32_t max, min;
    std::optional<GratingModel> calibration;
    double characterWidth;
  };
  GratingModel tooLong = test::workedExampleModel();
  tooLong.grooveSpacingUm = 66.66666;  // 41473 A at pixel 765: not a 16-bit whole number
  GratingModel noPixelSize = test::workedExampleModel();
  noPixelSize.xPixelSize = std::numeric_limits<float>::quiet_NaN();
  const std::vector<Row> rows{
      {"flat profile", 500, 500, std::nullopt, 7.4},
      {"flat calibrated profile", 0, 0, test::workedExampleModel(), 7.4},
      {"axis start beyond 16 bits", 1000, 0, tooLong, 7.4},
      {"model without a value", 1000, 0, noPixelSize, 7.4},
      {"text of infinite width", 1000, 0, std::nullopt, std::numeric_limits<double>::infinity()},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const ProfileArray profile = rampProfile();
    RecordingCanvas canvas(1000, 800);
    canvas.characterWidth = row.characterWidth;
    const GraphPrintout result = drawGraphPrintout(canvas, {.profile = profile,
                                                            .profileMax = row.max,
                                                            .profileMin = row.min,
                                                            .title = "Lamp",
                                                            .calibration = row.calibration});
    EXPECT_FALSE(result.drawn);
    EXPECT_TRUE(canvas.ops.empty());
  }
}

}  // namespace
}  // namespace halvic
