#include "output/text_export.h"

#include "ui/number_format.h"

namespace halvic {

namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr char kFieldSeparator = '\t';
constexpr char kQuote = '"';
constexpr std::string_view kExportExtension = "txt";
constexpr int kReplacedCharacters = 3;

constexpr std::string_view kColumnPattern = "##0";
constexpr std::string_view kWavelengthPattern = "###0.00";
constexpr std::string_view kValuePattern = "######0";

// Room for a full calibrated profile (about 20 bytes a line) and the quote lines around it, so
// the text is built without a reallocation.
constexpr std::size_t kBytesPerLine = 24;
constexpr std::size_t kQuoteLinesBytes = 8;

bool isContinuationByte(char byte) { return (static_cast<unsigned char>(byte) & 0xC0U) == 0x80U; }

/** Where the last `count` characters of name begin (0 when it has no more than that). */
std::size_t startOfLastCharacters(std::string_view name, int count) {
  std::size_t start = name.size();
  for (int removed = 0; removed < count && start > 0; ++removed) {
    --start;
    while (start > 0 && isContinuationByte(name[start])) {
      --start;
    }
  }
  return start;
}

void appendColumnLine(std::string& text, const TextExportInputs& inputs, int column,
                      std::optional<ModelPoint>& lastEvaluated) {
  text += ui::formatNumber(column, kColumnPattern);
  text += kFieldSeparator;
  if (inputs.calibration) {
    ModelPoint point;
    point.wavelength = evaluateGratingModel(*inputs.calibration, column, point.betaDeg);
    text += ui::formatNumber(point.wavelength, kWavelengthPattern);
    text += kFieldSeparator;
    lastEvaluated = point;
  }
  const auto value = static_cast<float>(inputs.profile.at(column));
  text += ui::formatNumber(value, kValuePattern);
  text += kLineEnd;
}

}  // namespace

std::string textExportName(std::string_view imageFileName) {
  const std::size_t start = startOfLastCharacters(imageFileName, kReplacedCharacters);
  // Removing a '/' would write into another folder, under a name made of the folder's.
  const bool removesAFolderMark = imageFileName.substr(start).find('/') != std::string_view::npos;
  std::string name(removesAFolderMark ? imageFileName : imageFileName.substr(0, start));
  if (removesAFolderMark) {
    name += '.';
  }
  name += kExportExtension;
  return name;
}

TextExport buildTextExport(const TextExportInputs& inputs) {
  TextExport result;
  std::string& text = result.bytes;
  if (inputs.length > 0) {
    text.reserve(static_cast<std::size_t>(inputs.length) * kBytesPerLine + kQuoteLinesBytes);
  }
  text += kQuote;
  text += kLineEnd;
  for (int column = 1; column <= inputs.length; ++column) {
    appendColumnLine(text, inputs, column, result.lastEvaluated);
  }
  text += kLineEnd;
  text += kQuote;
  text += kLineEnd;
  return result;
}

}  // namespace halvic
