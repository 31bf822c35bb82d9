// "Adjust Contrast" for either strip, and the dialog's "Done".

#include <cstdint>
#include <limits>

#include "app/main_window.h"
#include "ui/number_format.h"
#include "ui/number_text.h"

namespace halvic {

namespace {

constexpr std::string_view kBadBackground =
    "Background must be a whole number from -32768 to 32767.";
constexpr std::string_view kBadRange = "Range must be a whole number from -32768 to 32767, not 0.";

/** A box's text as a 16-bit whole number: blanks allowed, a fraction rounded half to even. */
std::optional<int16_t> boxValue(const std::string& text) {
  const ui::WholeNumber number = ui::parseWholeNumber(text, std::numeric_limits<int16_t>::min(),
                                                      std::numeric_limits<int16_t>::max());
  if (number.status != ui::WholeNumberStatus::Ok) {
    return std::nullopt;
  }
  return static_cast<int16_t>(number.value);
}

}  // namespace

void MainWindow::cmdcontrast_Click() { adjustContrast(ImageKind::Data); }

void MainWindow::cmdcontrast2_Click() { adjustContrast(ImageKind::Cal); }

void MainWindow::adjustContrast(ImageKind kind) {
  ImageState& image = ws_.image(kind);
  contrastControl("txtbackground").setCaption(ui::labelText(image.background));
  contrastControl("txtrange").setCaption(ui::labelText(image.range));
  contrastTaken_ = false;
  dialogs_.showModal(frmcontrast_);
  if (!contrastTaken_) {
    return;  // closed with the window's close control: nothing taken, nothing redrawn
  }
  image.background = *boxValue(contrastControl("txtbackground").caption());
  image.range = *boxValue(contrastControl("txtrange").caption());
  drawStripOf(kind);
  if (!expandChecked()) {
    drawCropMarkerLinesOf(kind);
  }
}

// The boxes are taken only when both hold what the strip can use: a range of 0 has no grey
// mapping. Otherwise the dialog stays open for a correction.
void MainWindow::cmddone_Click() {
  const std::optional<int16_t> background = boxValue(contrastControl("txtbackground").caption());
  if (!background) {
    dialogs_.messageBox(kBadBackground);
    return;
  }
  const std::optional<int16_t> range = boxValue(contrastControl("txtrange").caption());
  if (!range || *range == 0) {
    dialogs_.messageBox(kBadRange);
    return;
  }
  contrastTaken_ = true;
  frmcontrast_.hide();
}

}  // namespace halvic
