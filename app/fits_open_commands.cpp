// "Open FITS Object..." and "Open FITS Lamp...": a FITS image of any size is reduced to a strip by
// the reduction form and then loads as a camera file does, through the same header scan, so that
// the caption, the strips, marking and every export work on it unchanged.

#include <limits>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "imagefile/fits_camera_header.h"
#include "output/fits_origin.h"
#include "ui/number_format.h"
#include "ui/number_text.h"

namespace halvic {

namespace {

const std::vector<ui::FileFilter>& fitsFileFilters() {
  static const std::vector<ui::FileFilter> filters{
      {"FITS Images (*.fits *.fit *.fts *.fz)", "*.fits *.fit *.fts *.fz"},
      {"All Files (*.*)", "*.*"},
  };
  return filters;
}

constexpr std::string_view kReductionTitle = "Reduce FITS Image";
constexpr std::string_view kPixelField = "pixel";

std::string notLoaded(const std::string& path, std::string_view reason) {
  return "FITS image not loaded: " + path + " (" + std::string(reason) + ")";
}

ui::FormField textField(std::string_view name, std::string label, int value) {
  return {std::string(name), std::move(label), ui::FormField::Kind::Text, std::to_string(value)};
}

/** The form's fields as the proposal fills them; the pixel size is asked only when not known. */
std::vector<ui::FormField> reductionFields(const Reduction& proposed, bool askPixelSize) {
  namespace field = reduction_field;
  std::vector<ui::FormField> fields{
      {std::string(field::kAxis), "The spectrum runs along (rows or columns)",
       ui::FormField::Kind::Text, std::string(axisText(proposed.axis))},
      textField(field::kFirstRow, "First line of the band across the spectrum", proposed.firstRow),
      textField(field::kRows, "Lines in the band", proposed.rows),
      textField(field::kFirstColumn, "First pixel along the spectrum", proposed.firstColumn),
      textField(field::kColumns, "Pixels along the spectrum", proposed.columns),
      textField(field::kBin, "Pixels binned into one strip column", proposed.bin),
      {std::string(field::kFlip), "Flip, so that wavelength runs the other way",
       ui::FormField::Kind::Check, proposed.flip ? "1" : "0"},
  };
  if (askPixelSize) {
    fields.push_back({std::string(kPixelField), "Pixel size along the spectrum (micrometres)",
                      ui::FormField::Kind::Text, ""});
  }
  return fields;
}

const std::string* valueOf(const std::vector<ui::FormField>& fields, std::string_view name) {
  for (const ui::FormField& field : fields) {
    if (field.name == name) {
      return &field.value;
    }
  }
  return nullptr;
}

/** What the form's fields ask for, or the message that refuses them. */
struct ReductionRead {
  std::optional<Reduction> reduction;
  std::optional<float> pixelSizeUm;
  std::string refusal;
};

/** A whole-number field; empty takes what was proposed. */
std::optional<int> wholeField(const std::vector<ui::FormField>& fields, std::string_view name,
                              int proposed) {
  const std::string* text = valueOf(fields, name);
  if (text == nullptr || text->empty()) {
    return proposed;
  }
  const ui::WholeNumber read =
      ui::parseWholeNumber(*text, std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
  if (read.status != ui::WholeNumberStatus::Ok) {
    return std::nullopt;
  }
  return static_cast<int>(read.value);
}

ReductionRead readReduction(const std::vector<ui::FormField>& fields, const Reduction& proposed,
                            const FitsImage& image, bool askPixelSize) {
  namespace field = reduction_field;
  Reduction reduction = proposed;
  const std::string* axis = valueOf(fields, field::kAxis);
  if (axis != nullptr && !axis->empty()) {
    if (*axis != kAlongRows && *axis != kAlongColumns) {
      return {std::nullopt, std::nullopt, "The spectrum runs along rows or columns."};
    }
    reduction.axis = *axis == kAlongRows ? DispersionAxis::Rows : DispersionAxis::Columns;
  }
  struct WholeField {
    std::string_view name;
    int Reduction::*member;
  };
  for (const WholeField& whole : {WholeField{field::kFirstRow, &Reduction::firstRow},
                                  {field::kRows, &Reduction::rows},
                                  {field::kFirstColumn, &Reduction::firstColumn},
                                  {field::kColumns, &Reduction::columns},
                                  {field::kBin, &Reduction::bin}}) {
    const std::optional<int> value = wholeField(fields, whole.name, proposed.*whole.member);
    if (!value) {
      return {std::nullopt, std::nullopt,
              "The field " + std::string(whole.name) + " takes a whole number."};
    }
    reduction.*whole.member = *value;
  }
  const std::string* flip = valueOf(fields, field::kFlip);
  if (flip != nullptr && !flip->empty()) {
    reduction.flip = *flip == "1";
  }
  if (const std::vector<ReductionProblem> problems = checkReduction(image, reduction);
      !problems.empty()) {
    return {std::nullopt, std::nullopt, problems.front().reason};
  }
  std::optional<float> pixelSize;
  if (askPixelSize) {
    const std::string* text = valueOf(fields, kPixelField);
    const std::optional<double> size = text ? ui::parseDecimal(*text) : std::nullopt;
    if (!size || !isPlausiblePixelSize(*size)) {
      return {std::nullopt, std::nullopt,
              "The header gives no pixel size: give it, from 0.5 to 1000 micrometres."};
    }
    pixelSize = static_cast<float>(*size);
  }
  return {reduction, pixelSize, ""};
}

/** The size of the image's own pixels when the user or the header gives it. */
std::optional<float> knownPixelSize(const Spectrograph& spectrograph, const FitsImage& image) {
  if (spectrograph.pixelSizeUm) {
    return spectrograph.pixelSizeUm;
  }
  const std::optional<float> header = headerPixelSize(image.header);
  if (header && isPlausiblePixelSize(*header)) {
    return header;
  }
  return std::nullopt;
}

std::string reductionText(const FitsImage& image) {
  return "The image is " + std::to_string(image.width) + " columns by " +
         std::to_string(image.height) +
         " rows. The band's lines are averaged into the strip's rows (20 at most); the pixels "
         "along the spectrum are binned into at most 768 strip columns.";
}

}  // namespace

void MainWindow::mnuOpenFitsObject_Click() { openFitsImage(ImageKind::Data); }

void MainWindow::mnuOpenFitsLamp_Click() { openFitsImage(ImageKind::Cal); }

std::optional<MainWindow::ChosenReduction> MainWindow::chooseReduction(ImageKind kind,
                                                                       const FitsImage& image) {
  // A lamp is reduced as its object was, so that both strips cover the same columns.
  const ImageState& object = ws_.image(ImageKind::Data);
  const std::optional<Reduction> objectReduction =
      kind == ImageKind::Cal && object.loaded && object.fitsOrigin
          ? std::optional<Reduction>(object.fitsOrigin->reduction)
          : std::nullopt;
  const Reduction proposed = proposeReduction(image, objectReduction);
  const std::optional<float> known = knownPixelSize(ws_.calibration.spectrograph, image);
  const bool askPixelSize = !known;
  const std::optional<std::vector<ui::FormField>> fields = dialogs_.showForm(ui::FormRequest{
      .title = std::string(kReductionTitle),
      .text = reductionText(image),
      .fields = reductionFields(proposed, askPixelSize),
      .validate = [&](const std::vector<ui::FormField>& shown) -> std::optional<std::string> {
        ReductionRead read = readReduction(shown, proposed, image, askPixelSize);
        return read.reduction ? std::nullopt : std::optional<std::string>(read.refusal);
      }});
  if (!fields) {
    return std::nullopt;
  }
  const ReductionRead read = readReduction(*fields, proposed, image, askPixelSize);
  return ChosenReduction{*read.reduction, known ? known : read.pixelSizeUm};
}

void MainWindow::openFitsImage(ImageKind kind) {
  const std::optional<std::string> chosen = dialogs_.openFile(
      kind == ImageKind::Data ? "Open FITS Object" : "Open FITS Lamp", fitsFileFilters(), 0);
  ws_.selectedFileName = chosen.value_or(std::string());
  if (ws_.selectedFileName.empty()) {
    dialogs_.messageBox("No file was selected");
    return;
  }
  const std::string path = ws_.selectedFileName;
  // A large image takes a noticeable moment to read and to reduce.
  const FitsImageRead read = [&] {
    const ui::BusyScope busy(dialogs_);
    return readFitsImage(path);
  }();
  if (!read.image) {
    dialogs_.messageBox(notLoaded(path, read.reason));
    return;
  }
  const std::optional<ChosenReduction> reduction = chooseReduction(kind, *read.image);
  if (!reduction) {
    return;
  }
  const StripReduction reduced = [&] {
    const ui::BusyScope busy(dialogs_);
    return reduceToStrip(*read.image, reduction->reduction, reduction->pixelSizeUm);
  }();
  if (!reduced.strip) {
    dialogs_.messageBox(notLoaded(path, reduced.reason));
    return;
  }
  const HeaderBytes header = reducedImageHeader(*reduced.strip, read.image->header);
  ImageHeaderFields fields{.height = 0,
                           .width = 0,
                           .background = 0,
                           .range = 0,
                           .xPixelSize = ws_.headerPixelSize,
                           .caption = path,
                           .compressed = false,
                           .ignoredPixelSize = {}};
  std::istringstream headerData(std::string(header.begin(), header.end()));
  if (scanImageHeader(headerData, path, fields) != ReadStatus::Ok) {
    dialogs_.messageBox(notLoaded(path, "its strip's header cannot be read"));
    return;
  }
  if (reduced.strip->blankPixelsReplaced > 0) {
    dialogs_.reportReason(path + ": " + std::to_string(reduced.strip->blankPixelsReplaced) +
                          " blank pixels were set to the median of their band");
  }
  commitImage(kind, fields, reduced.strip->image, header);
  ws_.image(kind).fitsOrigin = FitsOrigin{path, reduction->reduction, read.image->header};
  showLoadedImage(kind, fields.xPixelSize);
}

bool MainWindow::refuseExportOfDifferentReductions() {
  const ImageState& object = ws_.image(ImageKind::Data);
  const ImageState& lamp = ws_.image(ImageKind::Cal);
  // The lamp's calibration counts strip columns; on an object's strip that maps onto other
  // original pixels, every wavelength would be wrong by the difference.
  const bool alike =
      object.fitsOrigin && lamp.fitsOrigin
          ? mapsColumnsAlike(object.fitsOrigin->reduction, lamp.fitsOrigin->reduction)
          : !object.fitsOrigin && !lamp.fitsOrigin;
  if (!ws_.graph.showsCal && ws_.calibration.calibrated && object.loaded && lamp.loaded && !alike) {
    dialogs_.messageBox("The object and the lamp were reduced differently; nothing exported.");
    return true;
  }
  return false;
}

}  // namespace halvic
