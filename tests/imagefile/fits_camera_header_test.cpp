#include "imagefile/fits_camera_header.h"

#include <gtest/gtest.h>

#include <sstream>

#include "imagefile/camera_header.h"
#include "imagefile/image_reader.h"

namespace halvic {
namespace {

TEST(CameraDateTimeOf, WritesDateObsAsTheCameraDoes) {
  using Date = std::optional<std::string>;
  const std::vector<std::tuple<std::string, Date, Date>> rows{
      {"2024-03-14T21:12:40", "03/14/2024", "21:12:40"},
      {"2024-12-31T23:59:59.999", "12/31/2024", "23:59:59"},  // dropped, never rounded to 2025
      {"2024-03-14", "03/14/2024", {}},
      {"2023-02-29T01:02:03", {}, {}},
      {"2024-03-14T24:00:00", {}, {}},
      {"2024-03-14T21:12", {}, {}},
      {"14/03/24", {}, {}},
  };
  for (const auto& [dateObs, date, time] : rows) {
    const CameraDateTime when = cameraDateTimeOf(dateObs);
    EXPECT_EQ(when.date, date) << dateObs;
    EXPECT_EQ(when.time, time) << dateObs;
  }
}

TEST(ReducedImageHeader, ReadsBackAsACameraFileHeader) {
  struct Row {
    std::optional<float> pixelSizeUm;
    FitsHeaderValues fits;
    std::string captionAfterPath;
    std::optional<std::string> exposure;
  };
  // clang-format off
  const std::vector<Row> rows{
      {36.0f, {.exposureSeconds = 120, .dateObs = "2024-03-14T21:12:40"}, " captured on 03/14/2024 at 21:12:40", "120"},
      {9.0f, {.exposureSeconds = 0.5, .dateObs = "2024-03-14"}, " captured on 03/14/2024", "0.5"},
      {std::nullopt, {.dateObs = "yesterday"}, "", std::nullopt},
  };
  // clang-format on
  for (const Row& row : rows) {
    SCOPED_TRACE(row.captionAfterPath);
    const ReducedStrip strip{.width = 750,
                             .height = 20,
                             .pixelSizeUm = row.pixelSizeUm,
                             .background = 812,
                             .range = 29188};
    const HeaderBytes block = reducedImageHeader(strip, row.fits);
    std::istringstream data(std::string(block.begin(), block.end()));
    ImageHeaderFields fields;
    ASSERT_EQ(scanImageHeader(data, "strip", fields), ReadStatus::Ok);
    EXPECT_EQ(std::tuple(fields.width, fields.height, fields.background, fields.range),
              std::tuple(750, 20, 812, 29188));
    EXPECT_FLOAT_EQ(fields.xPixelSize, row.pixelSizeUm.value_or(0.0f));
    EXPECT_EQ(fields.caption, "strip" + row.captionAfterPath);
    EXPECT_EQ(headerValue(block, kExposureKey), row.exposure);
  }
}

}  // namespace
}  // namespace halvic
