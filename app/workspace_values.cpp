#include "app/workspace_values.h"

#include <array>
#include <functional>
#include <vector>

#include "ui/number_format.h"

namespace halvic {

namespace {

std::string valueText(const std::string& value) { return value; }
std::string valueText(bool value) { return value ? "true" : "false"; }
std::string valueText(int16_t value) { return std::to_string(value); }
std::string valueText(int32_t value) { return std::to_string(value); }
std::string valueText(float value) { return ui::shortestText(value); }
std::string valueText(double value) { return ui::shortestText(value); }
std::string valueText(const LineWavelength& value) { return value.text(); }

struct NamedValue {
  std::string_view name;
  std::function<std::string(const Workspace&)> text;
};

template <typename T>
NamedValue named(std::string_view name, T Workspace::*member) {
  return NamedValue{name, [member](const Workspace& ws) { return valueText(ws.*member); }};
}

const std::vector<NamedValue>& namedValues() {
  static const std::vector<NamedValue> values{
      named("selectedFileName", &Workspace::selectedFileName),
      named("dataFileName", &Workspace::dataFileName),
      named("calFileName", &Workspace::calFileName),
      named("dataCaption", &Workspace::dataCaption),
      named("calCaption", &Workspace::calCaption),
      named("dataHeight", &Workspace::dataHeight),
      named("calHeight", &Workspace::calHeight),
      named("dataWidth", &Workspace::dataWidth),
      named("calWidth", &Workspace::calWidth),
      named("dataLoaded", &Workspace::dataLoaded),
      named("calLoaded", &Workspace::calLoaded),
      named("dataStripLeft", &Workspace::dataStripLeft),
      named("calStripLeft", &Workspace::calStripLeft),
      named("dataStripTop", &Workspace::dataStripTop),
      named("calStripTop", &Workspace::calStripTop),
      named("dataBackground", &Workspace::dataBackground),
      named("calBackground", &Workspace::calBackground),
      named("dataRange", &Workspace::dataRange),
      named("calRange", &Workspace::calRange),
      named("dataCropRow1", &Workspace::dataCropRow1),
      named("dataCropRow2", &Workspace::dataCropRow2),
      named("calCropRow1", &Workspace::calCropRow1),
      named("calCropRow2", &Workspace::calCropRow2),
      named("pixelPickMode", &Workspace::pixelPickMode),
      named("pixelPickImage", &Workspace::pixelPickImage),
      named("profileLength", &Workspace::profileLength),
      named("profileMax", &Workspace::profileMax),
      named("profileMin", &Workspace::profileMin),
      named("graphShowsCal", &Workspace::graphShowsCal),
      named("linearGraph", &Workspace::linearGraph),
      named("logGraph", &Workspace::logGraph),
      named("autoscaledGraph", &Workspace::autoscaledGraph),
      named("pushedGraph", &Workspace::pushedGraph),
      named("cursorPixel", &Workspace::cursorPixel),
      named("lastCursorPixel", &Workspace::lastCursorPixel),
      named("readoutPixel", &Workspace::readoutPixel),
      named("xPixelSize", &Workspace::xPixelSize),
      named("focalLengthMm", &Workspace::focalLengthMm),
      named("alphaDeg", &Workspace::alphaDeg),
      named("betaDeg", &Workspace::betaDeg),
      named("grooveSpacingUm", &Workspace::grooveSpacingUm),
      named("gammaDeg", &Workspace::gammaDeg),
      named("degreesPerRadian", &Workspace::degreesPerRadian),
      named("centroidWidth", &Workspace::centroidWidth),
      named("lastCentroidWidth", &Workspace::lastCentroidWidth),
      named("selectedLineWavelength", &Workspace::selectedLineWavelength),
      named("line1Wavelength", &Workspace::line1Wavelength),
      named("line2Wavelength", &Workspace::line2Wavelength),
      named("line1Pixel", &Workspace::line1Pixel),
      named("line2Pixel", &Workspace::line2Pixel),
      named("centroidPixel", &Workspace::centroidPixel),
      named("pixelWavelength", &Workspace::pixelWavelength),
      named("calibrated", &Workspace::calibrated),
      named("focalLengthSolved", &Workspace::focalLengthSolved),
      named("dispersionAPerMm", &Workspace::dispersionAPerMm),
      NamedValue{"gratingChoice",
                 [](const Workspace& ws) { return gratingChoiceText(ws.gratingChoice); }},
      named("refinedLines", &Workspace::refinedLines),
      named("refinedRmsA", &Workspace::refinedRmsA),
  };
  return values;
}

constexpr std::array<std::string_view, 7> kArrayNames{
    "profile",        "dataProfile", "calProfile", "dataHeaderBytes",
    "calHeaderBytes", "dataImage",   "calImage"};

const ProfileArray* profileNamed(const Workspace& ws, std::string_view name) {
  if (name == "profile") {
    return &ws.profile;
  }
  if (name == "dataProfile") {
    return &ws.dataProfile;
  }
  if (name == "calProfile") {
    return &ws.calProfile;
  }
  return nullptr;
}

const HeaderBytes* headerNamed(const Workspace& ws, std::string_view name) {
  if (name == "dataHeaderBytes") {
    return &ws.dataHeaderBytes;
  }
  if (name == "calHeaderBytes") {
    return &ws.calHeaderBytes;
  }
  return nullptr;
}

const ImageArray* imageNamed(const Workspace& ws, std::string_view name) {
  if (name == "dataImage") {
    return &ws.dataImage;
  }
  if (name == "calImage") {
    return &ws.calImage;
  }
  return nullptr;
}

}  // namespace

std::optional<std::string> workspaceValueText(const Workspace& ws, std::string_view name) {
  for (const NamedValue& value : namedValues()) {
    if (value.name == name) {
      return value.text(ws);
    }
  }
  return std::nullopt;
}

std::vector<std::string_view> workspaceValueNames() {
  std::vector<std::string_view> names;
  for (const NamedValue& value : namedValues()) {
    names.push_back(value.name);
  }
  return names;
}

std::vector<std::string_view> workspaceArrayNames() {
  return {kArrayNames.begin(), kArrayNames.end()};
}

std::optional<ArrayIndexing> workspaceArrayIndexing(std::string_view name) {
  if (name == "profile" || name == "dataProfile" || name == "calProfile") {
    return ArrayIndexing::FromOne;
  }
  if (name == "dataHeaderBytes" || name == "calHeaderBytes") {
    return ArrayIndexing::FromZero;
  }
  if (name == "dataImage" || name == "calImage") {
    return ArrayIndexing::ColumnAndRow;
  }
  return std::nullopt;
}

std::optional<std::string> workspaceArrayEntryText(const Workspace& ws, std::string_view name,
                                                   int index, int row) {
  if (const ProfileArray* profile = profileNamed(ws, name)) {
    if (index < 1 || index > kProfileColumns) {
      return std::nullopt;
    }
    return std::to_string(profile->at(index));
  }
  if (const HeaderBytes* header = headerNamed(ws, name)) {
    if (index < 0 || index >= kHeaderSize) {
      return std::nullopt;
    }
    return std::to_string((*header)[static_cast<size_t>(index)]);
  }
  if (const ImageArray* image = imageNamed(ws, name)) {
    if (index < 1 || index > kImageColumns || row < 1 || row > kImageRows) {
      return std::nullopt;
    }
    return std::to_string(image->at(index, row));
  }
  return std::nullopt;
}

}  // namespace halvic
