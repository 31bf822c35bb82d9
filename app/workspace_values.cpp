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

template <typename Read>
NamedValue named(std::string_view name, Read read) {
  return NamedValue{name, [read](const Workspace& ws) { return valueText(read(ws)); }};
}

/** A value of one image under its name for the data image (object) or the cal image (lamp). */
template <typename Read>
NamedValue ofImage(std::string_view name, ImageKind kind, Read read) {
  return named(name, [kind, read](const Workspace& ws) { return read(ws.image(kind)); });
}

/** A value of each image: one name for the data image, one for the cal image. */
template <typename Read>
void addTwin(std::vector<NamedValue>& values, std::string_view dataName, std::string_view calName,
             Read read) {
  values.push_back(ofImage(dataName, ImageKind::Data, read));
  values.push_back(ofImage(calName, ImageKind::Cal, read));
}

// The flat names the scripts know the values by, in the order the workspace was first
// described; each maps onto where the value lives now.
const std::vector<NamedValue>& namedValues() {
  static const std::vector<NamedValue> values = [] {
    std::vector<NamedValue> all;
    const auto add = [&all](NamedValue value) { all.push_back(std::move(value)); };
    add(named("selectedFileName", [](const Workspace& ws) { return ws.selectedFileName; }));
    addTwin(all, "dataFileName", "calFileName", [](const ImageState& i) { return i.fileName; });
    addTwin(all, "dataCaption", "calCaption", [](const ImageState& i) { return i.caption; });
    addTwin(all, "dataReduction", "calReduction", [](const ImageState& i) {
      return i.fitsOrigin ? reductionWords(i.fitsOrigin->reduction) : std::string();
    });
    addTwin(all, "dataHeight", "calHeight", [](const ImageState& i) { return i.height; });
    addTwin(all, "dataWidth", "calWidth", [](const ImageState& i) { return i.width; });
    addTwin(all, "dataLoaded", "calLoaded", [](const ImageState& i) { return i.loaded; });
    addTwin(all, "dataStripLeft", "calStripLeft", [](const ImageState& i) { return i.stripLeft; });
    addTwin(all, "dataStripTop", "calStripTop", [](const ImageState& i) { return i.stripTop; });
    addTwin(all, "dataBackground", "calBackground",
            [](const ImageState& i) { return i.background; });
    addTwin(all, "dataRange", "calRange", [](const ImageState& i) { return i.range; });
    const auto cropRow1 = [](const ImageState& i) { return i.cropRow1; };
    const auto cropRow2 = [](const ImageState& i) { return i.cropRow2; };
    add(ofImage("dataCropRow1", ImageKind::Data, cropRow1));
    add(ofImage("dataCropRow2", ImageKind::Data, cropRow2));
    add(ofImage("calCropRow1", ImageKind::Cal, cropRow1));
    add(ofImage("calCropRow2", ImageKind::Cal, cropRow2));
    add(named("pixelPickMode", [](const Workspace& ws) { return ws.pixelPickMode; }));
    add(named("pixelPickImage", [](const Workspace& ws) { return ws.pixelPickImage; }));
    add(named("profileLength", [](const Workspace& ws) { return ws.graph.profileLength; }));
    add(named("profileMax", [](const Workspace& ws) { return ws.graph.profileMax; }));
    add(named("profileMin", [](const Workspace& ws) { return ws.graph.profileMin; }));
    add(named("graphShowsCal", [](const Workspace& ws) { return ws.graph.showsCal; }));
    const auto scaleIs = [](GraphScale scale) {
      return [scale](const Workspace& ws) { return ws.graph.scale == scale; };
    };
    add(named("linearGraph", scaleIs(GraphScale::Linear)));
    add(named("logGraph", scaleIs(GraphScale::Log)));
    add(named("autoscaledGraph", scaleIs(GraphScale::Autoscaled)));
    add(named("pushedGraph", scaleIs(GraphScale::Pushed)));
    add(named("cursorPixel", [](const Workspace& ws) { return ws.graph.cursorPixel; }));
    add(named("lastCursorPixel", [](const Workspace& ws) { return ws.graph.lastCursorPixel; }));
    add(named("readoutPixel", [](const Workspace& ws) { return ws.graph.readoutPixel; }));
    const auto model = [](const Workspace& ws) -> const GratingModel& {
      return ws.calibration.model;
    };
    add(named("xPixelSize", [model](const Workspace& ws) { return model(ws).xPixelSize; }));
    add(named("focalLengthMm", [model](const Workspace& ws) { return model(ws).focalLengthMm; }));
    add(named("alphaDeg", [model](const Workspace& ws) { return model(ws).alphaDeg; }));
    add(named("betaDeg", [](const Workspace& ws) { return ws.graph.betaDeg; }));
    add(named("grooveSpacingUm",
              [model](const Workspace& ws) { return model(ws).grooveSpacingUm; }));
    add(named("gammaDeg", [model](const Workspace& ws) { return model(ws).gammaDeg; }));
    add(named("degreesPerRadian",
              [model](const Workspace& ws) { return model(ws).degreesPerRadian; }));
    add(named("centroidWidth", [](const Workspace& ws) { return ws.lines.centroidWidth; }));
    add(named("lastCentroidWidth", [](const Workspace& ws) { return ws.lines.lastCentroidWidth; }));
    add(named("selectedLineWavelength",
              [](const Workspace& ws) { return ws.lines.selectedWavelength; }));
    const auto marks = [](const Workspace& ws) -> const LineMarks& { return ws.calibration.marks; };
    add(named("line1Wavelength",
              [marks](const Workspace& ws) { return marks(ws).line1Wavelength; }));
    add(named("line2Wavelength",
              [marks](const Workspace& ws) { return marks(ws).line2Wavelength; }));
    add(named("line1Pixel", [marks](const Workspace& ws) { return marks(ws).line1Pixel; }));
    add(named("line2Pixel", [marks](const Workspace& ws) { return marks(ws).line2Pixel; }));
    add(named("centroidPixel", [](const Workspace& ws) { return ws.lines.centroidPixel; }));
    add(named("pixelWavelength", [](const Workspace& ws) { return ws.graph.pixelWavelength; }));
    add(named("calibrated", [](const Workspace& ws) { return ws.calibration.calibrated; }));
    add(named("focalLengthSolved",
              [](const Workspace& ws) { return ws.calibration.focalLengthSolved; }));
    add(named("dispersionAPerMm",
              [](const Workspace& ws) { return ws.calibration.dispersionAPerMm; }));
    add(NamedValue{"gratingChoice", [](const Workspace& ws) {
                     return gratingChoiceText(ws.calibration.spectrograph.linesPerMm);
                   }});
    add(named("refinedLines", [](const Workspace& ws) { return ws.calibration.refinedLines; }));
    add(named("deviationDeg", [model](const Workspace& ws) { return model(ws).deviationDeg; }));
    add(named("distortion2", [model](const Workspace& ws) { return model(ws).distortion2; }));
    add(named("distortion3", [model](const Workspace& ws) { return model(ws).distortion3; }));
    add(named("refinedRmsA", [](const Workspace& ws) { return ws.calibration.refinedRmsA; }));
    return all;
  }();
  return values;
}

constexpr std::array<std::string_view, 7> kArrayNames{
    "profile",        "dataProfile", "calProfile", "dataHeaderBytes",
    "calHeaderBytes", "dataImage",   "calImage"};

const ProfileArray* profileNamed(const Workspace& ws, std::string_view name) {
  if (name == "profile") {
    return &ws.graph.profile;
  }
  if (name == "dataProfile") {
    return &ws.image(ImageKind::Data).profile;
  }
  if (name == "calProfile") {
    return &ws.image(ImageKind::Cal).profile;
  }
  return nullptr;
}

const HeaderBytes* headerNamed(const Workspace& ws, std::string_view name) {
  if (name == "dataHeaderBytes") {
    return &ws.image(ImageKind::Data).headerBytes;
  }
  if (name == "calHeaderBytes") {
    return &ws.image(ImageKind::Cal).headerBytes;
  }
  return nullptr;
}

const ImageArray* imageNamed(const Workspace& ws, std::string_view name) {
  if (name == "dataImage") {
    return &ws.image(ImageKind::Data).image;
  }
  if (name == "calImage") {
    return &ws.image(ImageKind::Cal).image;
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
