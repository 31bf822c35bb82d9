#include "output/calibration_file.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string_view>
#include <vector>

#include "imagefile/regular_file.h"
#include "output/grating_wcs.h"

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

constexpr std::array kWcsNumberKeys{"CRPIX1", "CRVAL1", "CDELT1", "PV1_0", "PV1_1",
                                    "PV1_2",  "PV1_3",  "PV1_4",  "PV1_5", "PV1_6"};
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

}  // namespace

FileBytes buildCalibrationFile(const Calibration& calibration) {
  const GratingModel& model = calibration.model;
  const LineMarks& marks = calibration.marks;
  FitsWriter file;
  file.addFloatImage({});
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
  for (const char* key : kWcsNumberKeys) {
    read.number(key);
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
  if (!read.reason().empty()) {
    return {std::nullopt, read.reason()};
  }
  calibration.calibrated = true;
  return {calibration, {}};
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
