#include "ui/headless/headless_printer.h"

#include <cmath>
#include <fstream>
#include <sstream>

#include "ui/number_text.h"

namespace halvic::ui {

namespace {

long long rounded(double value) { return std::llround(roundHalfEven(value)); }

class HeadlessCanvas : public PrinterCanvas {
 public:
  HeadlessCanvas(int width, int height, std::string path)
      : width_(width), height_(height), path_(std::move(path)) {}

  void setLandscape() override {}
  int pageWidth() const override { return width_; }
  int pageHeight() const override { return height_; }
  double textWidth(std::string_view text) const override {
    return 10.0 * static_cast<double>(text.size());
  }
  double textHeight(std::string_view /*text*/) const override { return 20.0; }

  void text(double x, double y, std::string_view text) override {
    page_ << "text " << rounded(x) << ' ' << rounded(y) << ' ' << text << '\n';
  }
  void line(double x1, double y1, double x2, double y2) override {
    page_ << "line " << rounded(x1) << ' ' << rounded(y1) << ' ' << rounded(x2) << ' '
          << rounded(y2) << '\n';
  }
  bool endDocument() override {
    std::ofstream file(path_, std::ios::binary | std::ios::trunc);
    file << page_.str();
    file.close();
    return static_cast<bool>(file);
  }

 private:
  int width_;
  int height_;
  std::string path_;
  std::ostringstream page_;
};

}  // namespace

void HeadlessPrinters::usePage(int width, int height, std::string path) {
  mode_ = Mode::Page;
  width_ = width;
  height_ = height;
  path_ = std::move(path);
}

std::unique_ptr<PrinterCanvas> HeadlessPrinters::startJob() {
  if (mode_ != Mode::Page) {
    return nullptr;
  }
  return std::make_unique<HeadlessCanvas>(width_, height_, path_);
}

}  // namespace halvic::ui
