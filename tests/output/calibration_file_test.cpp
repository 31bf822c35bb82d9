#include "output/calibration_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "tests/support/temp_dir.h"

namespace halvic {
namespace {

// Values no short decimal holds: a 64-bit 0.1 + 0.2, 32-bit thirds, each wavelength type.
Calibration awkwardValues() {
  Calibration calibration;
  calibration.marks = LineMarks{.line1Wavelength = LineWavelength::fromSingle(5460.753f),
                                .line2Wavelength = LineWavelength::fromInt16(4959),
                                .line1Pixel = 200.0f / 3.0f,
                                .line2Pixel = 600.123f};
  calibration.dispersionAPerMm = -472.644989f;
  calibration.model.grooveSpacingUm = 6.666666;
  calibration.model.alphaDeg = 2.0 + (0.1 + 0.2);
  calibration.model.gammaDeg = 6.16;
  calibration.model.focalLengthMm = 140.09737234947374;
  calibration.focalLengthSolved = true;
  calibration.model.xPixelSize = 9.0f / 7.0f;
  calibration.calibrated = true;
  return calibration;
}

std::string text(const std::vector<char>& bytes) { return {bytes.begin(), bytes.end()}; }

/** The file with the 80-character card that begins with `card` replaced by `replacement`. */
std::string withCard(std::string file, std::string_view card, std::string_view replacement) {
  const size_t at = file.find(card);
  EXPECT_NE(at, std::string::npos) << card;
  EXPECT_EQ(at % 80, 0U) << card;
  std::string newCard(replacement);
  newCard.resize(80, ' ');
  return file.replace(at, 80, newCard);
}

CalibrationRead readText(const std::string& bytes) {
  return readCalibrationFile(std::span<const char>(bytes.data(), bytes.size()));
}

// Both orientations: the samples' lamp solves to a negative focal length (wavelength rising with
// the column), and a calibration made on it must serve later sessions too.
TEST(CalibrationFile, EveryValueReadsBackExactly) {
  struct Row {
    bool solved;
    double focalLengthMm;
    float dispersionAPerMm;
  };
  for (const Row& row :
       {Row{true, 140.09737234947374, -472.644989f}, Row{false, 140.09737234947374, -472.644989f},
        Row{true, -84.19712603651254, 287.3105f}}) {
    SCOPED_TRACE(row.focalLengthMm);
    SCOPED_TRACE(row.solved);
    Calibration values = awkwardValues();
    values.focalLengthSolved = row.solved;
    values.model.focalLengthMm = row.focalLengthMm;
    values.dispersionAPerMm = row.dispersionAPerMm;
    values.marks.line1Wavelength =
        row.solved ? values.marks.line1Wavelength : LineWavelength::fromDouble(0.1);
    const FileBytes file = buildCalibrationFile(values);
    ASSERT_EQ(file.failure, std::nullopt);
    EXPECT_EQ(file.bytes.size() % 2880, 0U);
    const CalibrationRead read = readCalibrationFile(std::span<const char>(file.bytes));
    ASSERT_TRUE(read.calibration.has_value()) << read.reason;
    EXPECT_EQ(*read.calibration, values);
    EXPECT_EQ(read.calibration->marks.line1Wavelength.type, values.marks.line1Wavelength.type);
    EXPECT_EQ(read.calibration->marks.line2Wavelength.type, LineWavelength::Type::Int16);
    EXPECT_EQ(read.source, std::nullopt);  // as every file written before sources were kept
  }
}

CalibrationSource awkwardSource() {
  CalibrationSource source{
      .dataCropRow1 = 3,
      .dataCropRow2 = 17,
      .lampCropRow1 = 5,
      .lampCropRow2 = 20,
      .filters = {.useMedian = true, .filterAirglow = false, .smoothing = true},
      .reduction = Reduction{DispersionAxis::Columns, 101, 40, 7, 1500, 2, true},
      .lampProfile = {},
      .lampElements = std::vector{LampElement::Zn, LampElement::Ne, LampElement::Ar},
      .refinedLines = 23,
      .refinedRmsA = 0.1 + 0.2};
  for (int column = 1; column <= 768; ++column) {
    source.lampProfile.push_back(column % 97 == 0 ? 655340 : column * 13);
  }
  return source;
}

TEST(CalibrationFile, ItsSourceReadsBackExactly) {
  struct Row {
    std::string_view name;
    std::function<void(CalibrationSource&)> change;
  };
  const std::vector<Row> rows{
      {"from FITS images", [](CalibrationSource&) {}},
      {"from camera images", [](CalibrationSource& source) { source.reduction.reset(); }},
      {"a lamp narrower than the camera",
       [](CalibrationSource& source) { source.lampProfile.resize(500); }},
      {"no lamp", [](CalibrationSource& source) { source.lampProfile.clear(); }},
      {"the built-in lines", [](CalibrationSource& source) { source.lampElements->clear(); }},
      {"no word of the lamps", [](CalibrationSource& source) { source.lampElements.reset(); }},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    CalibrationSource source = awkwardSource();
    row.change(source);
    const FileBytes file = buildCalibrationFile(awkwardValues(), source);
    ASSERT_EQ(file.failure, std::nullopt);
    const CalibrationRead read = readCalibrationFile(std::span<const char>(file.bytes));
    ASSERT_TRUE(read.calibration.has_value()) << read.reason;
    EXPECT_EQ(*read.calibration, awkwardValues());
    EXPECT_EQ(read.source, source);
  }
}

// Each row changes one card of a good file (or gives no FITS at all): the file is refused and
// the reason names what is wrong.
TEST(CalibrationFile, AnythingElseIsRefusedWithItsReason) {
  const std::string good = text(buildCalibrationFile(awkwardValues()).bytes);
  struct Row {
    std::string_view name;
    std::string bytes;
    std::string_view reason;
  };
  const std::vector<Row> rows{
      {"empty", "", "not a FITS file: the file is empty"},
      {"a short text", "Neon lamp, 21:12\n", "not a FITS file: it does not begin with SIMPLE"},
      {"a header cut short", good.substr(0, 2000),
       "not a FITS file: the file ends inside its first header"},
      {"a text", std::string(3000, 'x'), "not a FITS file: "},
      {"another grating axis", withCard(good, "CTYPE1  =", "CTYPE1  = 'WAVE-GRA'"),
       "CTYPE1 is not 'AWAV-GRA'"},
      {"a coordinate key missing", withCard(good, "PV1_3   =", "COMMENT nothing here"),
       "PV1_3 is missing or not a number"},
      {"a key missing", withCard(good, "ALPHADEG=", "COMMENT nothing here"),
       "ALPHADEG is missing or not a number"},
      {"a text for a number", withCard(good, "FOCALMM =", "FOCALMM = 'long'"),
       "FOCALMM is missing or not a number"},
      {"no focal length", withCard(good, "FOCALMM =", "FOCALMM = 0."), "FOCALMM is 0"},
      {"no pixel size", withCard(good, "XPIXSIZE=", "XPIXSIZE= -9."), "XPIXSIZE is not above 0"},
      {"no groove spacing", withCard(good, "GROOVEUM=", "GROOVEUM= 0."), "GROOVEUM is not above 0"},
      {"an unknown type", withCard(good, "L1WTYPE =", "L1WTYPE = 'Float'"),
       "L1WTYPE is not Double, Int16 or Single"},
      {"a fraction for a whole number", withCard(good, "L2WAVE  =", "L2WAVE  = 4959.5"),
       "L2WAVE is not a value of type Int16"},
      {"a whole number too large", withCard(good, "L2WAVE  =", "L2WAVE  = 40000."),
       "L2WAVE is not a value of type Int16"},
      {"no float", withCard(good, "L1WAVE  =", "L1WAVE  = 0.1"),
       "L1WAVE is not a value of type Single"},
      {"not logical", withCard(good, "FOCSOLVD=", "FOCSOLVD= 1"),
       "FOCSOLVD is missing or not T or F"},
      // Values that read, but no spectrograph has.
      {"a groove spacing of 1e308 um", withCard(good, "GROOVEUM=", "GROOVEUM= 1E308"),
       "GROOVEUM gives 1e-305 lines/mm, not 10 to 10000"},
      {"a pixel size of 2 mm", withCard(good, "XPIXSIZE=", "XPIXSIZE= 2000."),
       "XPIXSIZE is 2000 um, not 0.5 to 1000"},
      {"no angle at all, out of the dispersion plane",
       withCard(withCard(good, "ALPHADEG=", "ALPHADEG= 0."), "GAMMADEG=", "GAMMADEG= 90."),
       "the model gives "},
      {"a scale that turns back",
       withCard(
           withCard(withCard(good, "ALPHADEG=", "ALPHADEG= 60."), "FOCALMM =", "FOCALMM = 0.01"),
           "GROOVEUM=", "GROOVEUM= 0.8333333"),
       "the model's wavelengths turn back at column "},
      {"coordinates of another model", withCard(good, "CRVAL1  =", "CRVAL1  = 6.1E-07"),
       "the coordinate keys and the model disagree by "},
      {"a refractive index that changes", withCard(good, "PV1_4   =", "PV1_4   = 0.001"),
       "PV1_4 is not 0"},
  };
  const std::string kept = text(buildCalibrationFile(awkwardValues(), awkwardSource()).bytes);
  const std::vector<Row> sourceRows{
      {"a crop row below the image", withCard(kept, "LCROP1  =", "LCROP1  = 0"),
       "LCROP1 is not a whole number from 1 to 20"},
      {"a fractional crop row", withCard(kept, "DCROP2  =", "DCROP2  = 7.5"),
       "DCROP2 is not a whole number from 1 to 20"},
      {"a filter not logical", withCard(kept, "AIRGLOW =", "AIRGLOW = 'yes'"),
       "AIRGLOW is missing or not T or F"},
      {"an unknown axis", withCard(kept, "REDAXIS =", "REDAXIS = 'diagonal'"),
       "REDAXIS is not 'rows' or 'columns'"},
      {"no bin", withCard(kept, "REDBIN  =", "REDBIN  = 0"),
       "REDBIN is not a whole number from 1 to "},
      {"an unknown lamp", withCard(kept, "LAMPELEM=", "LAMPELEM= 'Ne,Na'"),
       "LAMPELEM names no lamp of the program: 'Na'"},
      {"lamps given as a number", withCard(kept, "LAMPELEM=", "LAMPELEM= 5"),
       "LAMPELEM is not a text"},
      {"a lamp cut short", kept.substr(0, kept.size() - 2880),
       "the lamp's profile is not one row of at most 768 columns"},
  };
  std::vector<Row> all = rows;
  all.insert(all.end(), sourceRows.begin(), sourceRows.end());
  for (const Row& row : all) {
    SCOPED_TRACE(row.name);
    const CalibrationRead read = readText(row.bytes);
    EXPECT_FALSE(read.calibration.has_value());
    EXPECT_TRUE(read.reason.starts_with(row.reason)) << read.reason;
  }
}

TEST(CalibrationFile, OnlySmallRegularFilesAreRead) {
  const test::TempDir dir;
  const std::vector<char> good = buildCalibrationFile(awkwardValues()).bytes;
  struct Row {
    std::string_view name;
    std::function<std::string()> makePath;
    std::string_view reason;  // empty: read
  };
  const std::vector<Row> rows{
      {"a calibration", [&] { return dir.write("cal.fits", text(good)); }, ""},
      {"a FIFO",
       [&] {
         const std::string path = dir.file("fifo");
         EXPECT_EQ(::mkfifo(path.c_str(), 0600), 0);
         return path;
       },
       "not a regular file"},
      {"a folder", [&] { return dir.path(); }, "Is a directory"},
      {"missing", [&] { return dir.file("absent.fits"); }, "No such file or directory"},
      {"64 KiB and one byte",
       [&] { return dir.write("huge.fits", text(good) + std::string(65537 - good.size(), ' ')); },
       "larger than any calibration file"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const CalibrationRead read = readCalibrationFile(row.makePath());
    EXPECT_EQ(read.calibration.has_value(), row.reason.empty());
    EXPECT_EQ(read.reason, row.reason);
  }
}

}  // namespace
}  // namespace halvic
