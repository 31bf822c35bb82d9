#include "output/calibration_file.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <sstream>
#include <string_view>
#include <vector>

#include "imagefile/image_array.h"
#include "imagefile/image_reader.h"
#include "imagefile/regular_file.h"
#include "output/grating_wcs.h"
#include "ui/number_format.h"
#include "ui/units.h"

namespace halvic {

namespace {

constexpr std::size_t kLargestCalibrationFile = 64 * 1024;

/** The program's keys, each with the workspace value it holds as its comment. */
struct LineKeys {
  std::string_view wavelength, type, pixel;
};
constexpr LineKeys kLine1{"L1WAVE", "L1WTYPE", "L1PIXEL"};
constexpr LineKeys kLine2{"L2WAVE", "L2WTYPE", "L2PIXEL"};
constexpr std::string_view kDispersion = "DISPAMM";
constexpr std::string_view kGrooveSpacing = "GROOVEUM";
constexpr std::string_view kAlpha = "ALPHADEG";
constexpr std::string_view kGamma = "GAMMADEG";
constexpr std::string_view kFocalLength = "FOCALMM";
constexpr std::string_view kFocalLengthSolved = "FOCSOLVD";
constexpr std::string_view kPixelSize = "XPIXSIZE";
// The general model's terms; a file without them holds the Littrow model.
constexpr std::string_view kDeviation = "DEVIATE";
constexpr std::string_view kDistortion2 = "DISTORT2";
constexpr std::string_view kDistortion3 = "DISTORT3";
// What the user set of the spectrograph: SPECSET says they are written, each key absent when
// that setting is not set. A file without SPECSET was written before there were settings.
constexpr std::string_view kSettingsWritten = "SPECSET";
constexpr std::string_view kSetGrating = "SETGRAT";
constexpr std::string_view kSetDeviation = "SETDEV";
constexpr std::string_view kSetPixel = "SETPIX";
// What the calibration was made from: SRCKEPT says these follow and the primary array is the
// lamp's profile. The reduction's keys are absent when the images were no FITS images.
constexpr std::string_view kSourceKept = "SRCKEPT";
constexpr std::string_view kDataCrop1 = "DCROP1";
constexpr std::string_view kDataCrop2 = "DCROP2";
constexpr std::string_view kLampCrop1 = "LCROP1";
constexpr std::string_view kLampCrop2 = "LCROP2";
constexpr std::string_view kMedian = "MEDIAN";
constexpr std::string_view kAirglow = "AIRGLOW";
constexpr std::string_view kSmoothing = "SMOOTH";
constexpr std::string_view kReductionAxis = "REDAXIS";
constexpr std::string_view kReductionFirstRow = "REDROW1";
constexpr std::string_view kReductionRows = "REDROWS";
constexpr std::string_view kReductionFirstColumn = "REDCOL1";
constexpr std::string_view kReductionColumns = "REDCOLS";
constexpr std::string_view kReductionBin = "REDBIN";
constexpr std::string_view kReductionFlip = "REDFLIP";
constexpr std::string_view kRefinedLines = "REFLINES";
constexpr std::string_view kRefinedRms = "REFRMS";
constexpr std::string_view kLampElementsKey = "LAMPELEM";
constexpr std::string_view kAxisRows = "rows";
constexpr std::string_view kAxisColumns = "columns";

/** The coordinate keys of axis 1, each with the member of GratingWcs it holds. */
struct WcsKey {
  const char* key;
  double GratingWcs::*value;
};
constexpr std::array kWcsNumberKeys{
    WcsKey{"CRPIX1", &GratingWcs::referencePixel},
    WcsKey{"CRVAL1", &GratingWcs::referenceWavelengthM},
    WcsKey{"CDELT1", &GratingWcs::dispersionMPerPixel},
    WcsKey{"PV1_0", &GratingWcs::groovesPerMetre},
    WcsKey{"PV1_1", &GratingWcs::order},
    WcsKey{"PV1_2", &GratingWcs::alphaDeg},
    WcsKey{"PV1_3", &GratingWcs::refractiveIndex},
    WcsKey{"PV1_4", &GratingWcs::refractiveIndexSlope},
    WcsKey{"PV1_5", &GratingWcs::gammaDeg},
    WcsKey{"PV1_6", &GratingWcs::cameraAngleDeg},
};

// What a spectrograph can be: the groove densities gratings are ruled with, and the wavelengths
// a camera behind one sees, from the far ultraviolet to the near infrared.
constexpr double kFewestLinesPerMm = 10.0;
constexpr double kMostLinesPerMm = 10000.0;
constexpr double kShortestWavelengthA = 900.0;
constexpr double kLongestWavelengthA = 30000.0;
/** The keys of the coordinates and the model's own values must give one wavelength scale. */
constexpr double kLargestWcsDifferencePx = 1e-6;
constexpr std::string_view kGratingAxis = "AWAV-GRA";

struct TypeName {
  LineWavelength::Type type;
  std::string_view name;
};
constexpr std::array kTypeNames{TypeName{LineWavelength::Type::Double, "Double"},
                                TypeName{LineWavelength::Type::Int16, "Int16"},
                                TypeName{LineWavelength::Type::Single, "Single"}};

std::string_view typeName(LineWavelength::Type type) {
  for (const TypeName& entry : kTypeNames) {
    if (entry.type == type) {
      return entry.name;
    }
  }
  return {};
}

void writeLine(FitsWriter& file, const LineKeys& keys, const LineWavelength& wavelength,
               float pixel, std::string_view name) {
  file.writeDouble(keys.wavelength, wavelength.value,
                   "[Angstrom] " + std::string(name) + "Wavelength");
  file.writeText(keys.type, typeName(wavelength.type), "its type: Double, Int16 or Single");
  file.writeFloat(keys.pixel, pixel, std::string(name) + "Pixel");
}

/** Reads the file's values one by one, keeping the first refusal. */
class ValueReader {
 public:
  explicit ValueReader(const FitsHeaderReader& header) : header_(header) {}

  double number(std::string_view key) { return accept(key, header_.number(key), "a number"); }
  float floatNumber(std::string_view key) {
    return accept(key, header_.floatNumber(key), "a number");
  }
  bool logical(std::string_view key) { return accept(key, header_.logical(key), "T or F"); }
  template <typename Value>
  Value positive(std::string_view key, Value value) {
    if (reason_.empty() && !(value > Value{0})) {
      reason_ = std::string(key) + " is not above 0";
    }
    return value;
  }
  template <typename Value>
  Value nonZero(std::string_view key, Value value) {
    if (reason_.empty() && value == Value{0}) {
      reason_ = std::string(key) + " is 0";
    }
    return value;
  }
  LineWavelength wavelength(const LineKeys& keys);
  /** A number that may be absent (nullopt), but must be a finite number when there. */
  std::optional<double> optionalNumber(std::string_view key) {
    return header_.has(key) ? std::optional<double>(number(key)) : std::nullopt;
  }
  /** A whole number within least..most. */
  int whole(std::string_view key, int least, int most) {
    const double value = number(key);
    if (reason_.empty() && !(value == std::trunc(value) && value >= least && value <= most)) {
      reason_ = std::string(key) + " is not a whole number from " + std::to_string(least) + " to " +
                std::to_string(most);
    }
    return reason_.empty() ? static_cast<int>(value) : 0;
  }
  void refuse(std::string reason) {
    if (reason_.empty()) {
      reason_ = std::move(reason);
    }
  }
  void expectText(std::string_view key, std::string_view expected) {
    if (reason_.empty() && header_.text(key) != expected) {
      reason_ = std::string(key) + " is not '" + std::string(expected) + "'";
    }
  }

  const std::string& reason() const { return reason_; }

 private:
  template <typename Value>
  Value accept(std::string_view key, std::optional<Value> value, std::string_view what) {
    if (!reason_.empty()) {
      return Value{};
    }
    if (!value) {
      reason_ = std::string(key) + " is missing or not " + std::string(what);
      return Value{};
    }
    if constexpr (std::is_floating_point_v<Value>) {
      if (!std::isfinite(*value)) {
        reason_ = std::string(key) + " is not finite";
        return Value{};
      }
    }
    return *value;
  }

  const FitsHeaderReader& header_;
  std::string reason_;
};

/** Whether value is exactly a value of that type: a 16-bit whole number, a 32-bit float. */
bool fitsType(LineWavelength::Type type, double value) {
  switch (type) {
    case LineWavelength::Type::Double:
      return true;
    case LineWavelength::Type::Int16:
      return value == std::trunc(value) && value >= std::numeric_limits<int16_t>::min() &&
             value <= std::numeric_limits<int16_t>::max();
    case LineWavelength::Type::Single:
      return std::fabs(value) <= std::numeric_limits<float>::max() &&
             static_cast<double>(static_cast<float>(value)) == value;
  }
  return false;
}

LineWavelength ValueReader::wavelength(const LineKeys& keys) {
  const double value = number(keys.wavelength);
  const std::optional<std::string> name = header_.text(keys.type);
  if (!reason_.empty()) {
    return {};
  }
  for (const TypeName& entry : kTypeNames) {
    if (name == entry.name) {
      if (!fitsType(entry.type, value)) {
        reason_ = std::string(keys.wavelength) + " is not a value of type " + *name;
        return {};
      }
      return LineWavelength{entry.type, value};
    }
  }
  reason_ = std::string(keys.type) + " is not Double, Int16 or Single";
  return {};
}

double wavelengthAt(const GratingModel& model, double column) {
  double betaDeg = 0.0;
  return evaluateGratingModel(model, column, betaDeg);
}

/**
 * Why the model is no spectrograph's: a groove density or pixel size no instrument has, or a
 * wavelength scale that leaves 900 to 30000 A or turns back somewhere over the columns.
 */
std::optional<std::string> physicalRefusal(const GratingModel& model) {
  const double linesPerMm = kMicrometresPerMillimetre / model.grooveSpacingUm;
  if (!(linesPerMm >= kFewestLinesPerMm && linesPerMm <= kMostLinesPerMm)) {
    return "GROOVEUM gives " + ui::shortestText(linesPerMm) + " lines/mm, not 10 to 10000";
  }
  if (!isPlausiblePixelSize(static_cast<double>(model.xPixelSize))) {
    return "XPIXSIZE is " + ui::shortestText(model.xPixelSize) + " um, not 0.5 to 1000";
  }
  double previous = wavelengthAt(model, 1.0);
  std::optional<bool> rising;
  for (int column = 1; column <= kImageColumns; ++column) {
    const double lambda = wavelengthAt(model, column);
    if (!(lambda >= kShortestWavelengthA && lambda <= kLongestWavelengthA)) {
      return "the model gives " + ui::shortestText(lambda) + " A at column " +
             std::to_string(column) + ", outside 900 to 30000 A";
    }
    if (column > 1) {
      const bool risingHere = lambda > previous;
      if (lambda == previous || (rising && *rising != risingHere)) {
        return "the model's wavelengths turn back at column " + std::to_string(column);
      }
      rising = risingHere;
    }
    previous = lambda;
  }
  return std::nullopt;
}

/** Why the coordinate keys are not the model's grating part: they give another wavelength. */
std::optional<std::string> wcsRefusal(const GratingWcs& wcs, const GratingModel& model) {
  if (wcs.refractiveIndexSlope != 0.0) {
    return std::string("PV1_4 is not 0");
  }
  const double apart = largestWcsDifferencePx(wcs, gratingPartOf(model), kImageColumns);
  if (!(apart <= kLargestWcsDifferencePx)) {
    return "the coordinate keys and the model disagree by " + ui::shortestText(apart) + " pixels";
  }
  return std::nullopt;
}

std::vector<float> profileValues(const std::vector<int32_t>& profile) {
  std::vector<float> values;
  values.reserve(profile.size());
  for (const int32_t value : profile) {
    values.push_back(static_cast<float>(value));  // a sum of 20 camera counts is exact in a float
  }
  return values;
}

// The chosen lamps as their symbols joined by commas ("Ne,Ar"); '' for the built-in list.
std::string elementsText(std::span<const LampElement> elements) {
  std::string text;
  for (const LampElement element : elements) {
    text += (text.empty() ? "" : ",") + std::string(lampElementSymbol(element));
  }
  return text;
}

std::optional<std::vector<LampElement>> readLampElements(const FitsHeaderReader& header,
                                                         ValueReader& read) {
  if (!header.has(kLampElementsKey)) {
    return std::nullopt;  // written before the lamps were kept
  }
  const std::optional<std::string> text = header.text(kLampElementsKey);
  if (!text) {
    read.refuse(std::string(kLampElementsKey) + " is not a text");
    return std::nullopt;
  }
  std::vector<LampElement> elements;
  std::istringstream symbols(*text);
  for (std::string symbol; std::getline(symbols, symbol, ',');) {
    const auto known = std::find_if(kLampElements.begin(), kLampElements.end(),
                                    [&](LampElement e) { return lampElementSymbol(e) == symbol; });
    if (known == kLampElements.end()) {
      read.refuse(std::string(kLampElementsKey) + " names no lamp of the program: '" + symbol +
                  "'");
      return {};
    }
    elements.push_back(*known);
  }
  return elements;
}

void writeSource(FitsWriter& file, const CalibrationSource& source) {
  file.writeLogical(kSourceKept, true, "the lamp's profile and its extraction follow");
  file.writeWhole(kDataCrop1, source.dataCropRow1, "dataCropRow1");
  file.writeWhole(kDataCrop2, source.dataCropRow2, "dataCropRow2");
  file.writeWhole(kLampCrop1, source.lampCropRow1, "calCropRow1");
  file.writeWhole(kLampCrop2, source.lampCropRow2, "calCropRow2");
  file.writeLogical(kMedian, source.filters.useMedian, "median filter of the object");
  file.writeLogical(kAirglow, source.filters.filterAirglow, "airglow filter of the object");
  file.writeLogical(kSmoothing, source.filters.smoothing, "five-point smoothing");
  if (const std::optional<Reduction>& reduction = source.reduction) {
    file.writeText(kReductionAxis,
                   reduction->axis == DispersionAxis::Rows ? kAxisRows : kAxisColumns,
                   "FITS reduction: the spectrum runs along");
    file.writeWhole(kReductionFirstRow, reduction->firstRow, "FITS reduction: first row");
    file.writeWhole(kReductionRows, reduction->rows, "FITS reduction: rows");
    file.writeWhole(kReductionFirstColumn, reduction->firstColumn, "FITS reduction: first column");
    file.writeWhole(kReductionColumns, reduction->columns, "FITS reduction: columns");
    file.writeWhole(kReductionBin, reduction->bin, "FITS reduction: bin");
    file.writeLogical(kReductionFlip, reduction->flip, "FITS reduction: flip");
  }
  if (source.lampElements) {
    file.writeText(kLampElementsKey, elementsText(*source.lampElements),
                   "lamps whose lines are listed");
  }
  file.writeWhole(kRefinedLines, source.refinedLines, "lines of the applied refine, 0: none");
  file.writeDouble(kRefinedRms, source.refinedRmsA, "[Angstrom] RMS of the applied refine");
}

std::optional<Reduction> readReduction(const FitsHeaderReader& header, ValueReader& read) {
  const std::optional<std::string> axis = header.text(kReductionAxis);
  if (!header.has(kReductionAxis)) {
    return std::nullopt;
  }
  if (axis != kAxisRows && axis != kAxisColumns) {
    read.refuse(std::string(kReductionAxis) + " is not 'rows' or 'columns'");
    return std::nullopt;
  }
  constexpr int kLargest = std::numeric_limits<int>::max();
  return Reduction{.axis = axis == kAxisRows ? DispersionAxis::Rows : DispersionAxis::Columns,
                   .firstRow = read.whole(kReductionFirstRow, 1, kLargest),
                   .rows = read.whole(kReductionRows, 1, kLargest),
                   .firstColumn = read.whole(kReductionFirstColumn, 1, kLargest),
                   .columns = read.whole(kReductionColumns, 1, kLargest),
                   .bin = read.whole(kReductionBin, 1, kLargest),
                   .flip = read.logical(kReductionFlip)};
}

std::vector<int32_t> readLampProfile(const FitsHeaderReader& header, ValueReader& read) {
  const std::optional<std::vector<float>> values = header.primaryValues();
  if (!values || values->size() > static_cast<size_t>(kImageColumns)) {
    read.refuse("the lamp's profile is not one row of at most 768 columns");
    return {};
  }
  std::vector<int32_t> profile;
  for (const float value : *values) {
    if (!(value >= 0.0f && value == std::trunc(value) && value < 1e9f)) {
      read.refuse("the lamp's profile holds " + ui::shortestText(value));
      return {};
    }
    profile.push_back(static_cast<int32_t>(value));
  }
  return profile;
}

CalibrationSource readSource(const FitsHeaderReader& header, ValueReader& read) {
  CalibrationSource source;
  source.dataCropRow1 = static_cast<int16_t>(read.whole(kDataCrop1, 1, kImageRows));
  source.dataCropRow2 = static_cast<int16_t>(read.whole(kDataCrop2, 1, kImageRows));
  source.lampCropRow1 = static_cast<int16_t>(read.whole(kLampCrop1, 1, kImageRows));
  source.lampCropRow2 = static_cast<int16_t>(read.whole(kLampCrop2, 1, kImageRows));
  source.filters =
      ExtractionOptions{read.logical(kMedian), read.logical(kAirglow), read.logical(kSmoothing)};
  source.reduction = readReduction(header, read);
  source.refinedLines = read.whole(kRefinedLines, 0, kImageColumns);
  source.refinedRmsA = read.number(kRefinedRms);
  source.lampProfile = readLampProfile(header, read);
  source.lampElements = readLampElements(header, read);
  return source;
}

/** The file's keys of the calibration, after its primary unit is added. */
void writeCalibrationKeys(FitsWriter& file, const Calibration& calibration) {
  const GratingModel& model = calibration.model;
  const LineMarks& marks = calibration.marks;
  file.writeWhole("WCSAXES", 1, "one wavelength axis");
  writeGratingWcs(file, gratingWcsOf(model));
  writeLine(file, kLine1, marks.line1Wavelength, marks.line1Pixel, "line1");
  writeLine(file, kLine2, marks.line2Wavelength, marks.line2Pixel, "line2");
  file.writeFloat(kDispersion, calibration.dispersionAPerMm, "[Angstrom/mm] dispersionAPerMm");
  file.writeDouble(kGrooveSpacing, model.grooveSpacingUm, "[um] grooveSpacingUm");
  file.writeDouble(kAlpha, model.alphaDeg, "alphaDeg, in the model's degrees");
  file.writeDouble(kGamma, model.gammaDeg, "gammaDeg, in the model's degrees");
  file.writeDouble(kFocalLength, model.focalLengthMm, "[mm] focalLengthMm");
  file.writeLogical(kFocalLengthSolved, calibration.focalLengthSolved, "focalLengthSolved");
  file.writeFloat(kPixelSize, model.xPixelSize, "[um] xPixelSize");
  file.writeDouble(kDeviation, model.deviationDeg, "[deg] collimator to camera, model degrees");
  file.writeDouble(kDistortion2, model.distortion2, "camera distortion, square term");
  file.writeDouble(kDistortion3, model.distortion3, "camera distortion, cube term");
  const Spectrograph& set = calibration.spectrograph;
  file.writeLogical(kSettingsWritten, true, "the spectrograph's settings follow");
  if (set.linesPerMm) {
    file.writeDouble(kSetGrating, *set.linesPerMm, "[1/mm] grating set by the user");
  }
  if (set.deviationDeg) {
    file.writeDouble(kSetDeviation, *set.deviationDeg, "[deg] deviation set by the user");
  }
  if (set.pixelSizeUm) {
    file.writeFloat(kSetPixel, *set.pixelSizeUm, "[um] pixel size set by the user");
  }
}

}  // namespace

FileBytes buildCalibrationFile(const Calibration& calibration) {
  FitsWriter file;
  file.addFloatImage({});
  writeCalibrationKeys(file, calibration);
  return file.finish();
}

FileBytes buildCalibrationFile(const Calibration& calibration, const CalibrationSource& source) {
  FitsWriter file;
  file.addFloatImage(profileValues(source.lampProfile));
  writeCalibrationKeys(file, calibration);
  writeSource(file, source);
  return file.finish();
}

CalibrationRead readCalibrationFile(std::span<const char> bytes) {
  const FitsHeaderReader header(bytes);
  if (header.failure()) {
    return {std::nullopt, "not a FITS file: " + *header.failure()};
  }
  ValueReader read(header);
  read.expectText("CTYPE1", kGratingAxis);
  read.expectText("CUNIT1", "m");
  GratingWcs wcs;
  for (const WcsKey& key : kWcsNumberKeys) {
    wcs.*key.value = read.number(key.key);
  }
  Calibration calibration;
  LineMarks& marks = calibration.marks;
  GratingModel& model = calibration.model;
  marks.line1Wavelength = read.wavelength(kLine1);
  marks.line1Pixel = read.floatNumber(kLine1.pixel);
  marks.line2Wavelength = read.wavelength(kLine2);
  marks.line2Pixel = read.floatNumber(kLine2.pixel);
  calibration.dispersionAPerMm = read.floatNumber(kDispersion);
  model.grooveSpacingUm = read.positive(kGrooveSpacing, read.number(kGrooveSpacing));
  model.alphaDeg = read.number(kAlpha);
  model.gammaDeg = read.number(kGamma);
  // A negative focal length is the model of a wavelength that rises with the column.
  model.focalLengthMm = read.nonZero(kFocalLength, read.number(kFocalLength));
  calibration.focalLengthSolved = read.logical(kFocalLengthSolved);
  model.xPixelSize = read.positive(kPixelSize, read.floatNumber(kPixelSize));
  model.deviationDeg = read.optionalNumber(kDeviation).value_or(0.0);
  model.distortion2 = read.optionalNumber(kDistortion2).value_or(0.0);
  model.distortion3 = read.optionalNumber(kDistortion3).value_or(0.0);
  const bool settingsWritten = header.logical(kSettingsWritten).value_or(false);
  if (settingsWritten) {
    calibration.spectrograph.linesPerMm = read.optionalNumber(kSetGrating);
    calibration.spectrograph.deviationDeg = read.optionalNumber(kSetDeviation);
    if (const std::optional<double> pixel = read.optionalNumber(kSetPixel)) {
      calibration.spectrograph.pixelSizeUm = static_cast<float>(*pixel);
    }
  }
  std::optional<CalibrationSource> source;
  if (header.logical(kSourceKept).value_or(false)) {
    source = readSource(header, read);
  }
  if (!read.reason().empty()) {
    return {std::nullopt, read.reason()};
  }
  if (std::optional<std::string> implausible = physicalRefusal(model)) {
    return {std::nullopt, *implausible};
  }
  if (std::optional<std::string> disagreement = wcsRefusal(wcs, model)) {
    return {std::nullopt, *disagreement};
  }
  calibration.calibrated = true;
  return {calibration, {}, settingsWritten, source};
}

CalibrationRead readCalibrationFile(const std::string& path) {
  std::vector<char> bytes;
  const FileReadStatus status = readRegularFile(path, kLargestCalibrationFile, bytes);
  if (status == ReadStatus::ValueOutOfRange) {
    return {std::nullopt, "larger than any calibration file"};
  }
  if (status != ReadStatus::Ok) {
    return {std::nullopt, describe(status)};
  }
  return readCalibrationFile(std::span<const char>(bytes));
}

}  // namespace halvic
