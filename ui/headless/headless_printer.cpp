#include "ui/headless/headless_printer.h"

#include <fstream>
#include <initializer_list>
#include <optional>
#include <sstream>
#include <string>

#include "ui/number_text.h"

namespace halvic::ui {

namespace {

/** "X Y ..." of the coordinates rounded to whole units, or nullopt when one has none. */
std::optional<std::string> wholeCoordinates(std::initializer_list<double> coordinates) {
  std::string text;
  for (const double coordinate : coordinates) {
    const std::optional<int> whole = roundedToInt(coordinate);
    if (!whole) {
      return std::nullopt;
    }
    if (!text.empty()) {
      text += ' ';
    }
    text += std::to_string(*whole);
  }
  return text;
}

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
    if (const auto corner = wholeCoordinates({x, y})) {
      page_ << "text " << *corner << ' ' << text << '\n';
    }
  }
  void line(double x1, double y1, double x2, double y2) override {
    if (const auto ends = wholeCoordinates({x1, y1, x2, y2})) {
      page_ << "line " << *ends << '\n';
    }
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
