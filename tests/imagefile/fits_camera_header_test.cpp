#include "imagefile/fits_camera_header.h"

#include <gtest/gtest.h>

#include <sstream>

#include "imagefile/camera_header.h"
#include "imagefile/image_reader.h"

namespace halvic {
namespace {

TEST(CameraDateTimeOf, WritesDateObsAsTheCameraDoes) {
  struct Row {
    std::string dateObs;
    std::optional<std::string> date;
    std::optional<std::string> time;
  };
  const std::vector<Row> rows{
      {"2024-03-14T21:12:40", "03/14/2024", "21:12:40"},
      {"2024-12-31T23:59:59.999", "12/31/2024", "23:59:59"},  // dropped, never rounded to 2025
      {"2024-03-14", "03/14/2024", std::nullopt},
      {"2023-02-29T01:02:03", std::nullopt, std::nullopt},
      {"2024-03-14T24:00:00", std::nullopt, std::nullopt},
      {"2024-03-14T21:12", std::nullopt, std::nullopt},
      {"2024-03-14 21:12:40", std::nullopt, std::nullopt},
      {"14/03/24", std::nullopt, std::nullopt},
  };
  for (const Row& row : rows) {
    const CameraDateTime when = cameraDateTimeOf(row.dateObs);
    EXPECT_EQ(when.date, row.date) << row.dateObs;
    EXPECT_EQ(when.time, row.time) << row.dateObs;
  }
}

TEST(ReducedImageHeader, ReadsBackAsACameraFileHeader) {
  struct Row {
    std::string name;
    std::optional<float> pixelSizeUm;
    FitsHeaderValues fits;
    std::string captionAfterPath;
    std::optional<std::string> exposure;
  };
  const std::vector<Row> rows{
      {"all known",
       36.0f,
       {.exposureSeconds = 120, .dateObs = "2024-03-14T21:12:40"},
       " captured on 03/14/2024 at 21:12:40",
       "120"},
      {"date alone",
       9.0f,
       {.exposureSeconds = 0.5, .dateObs = "2024-03-14"},
       " captured on 03/14/2024",
       "0.5"},
      {"nothing known", std::nullopt, {.dateObs = "yesterday"}, "", std::nullopt},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const ReducedStrip strip{.width = 750,
                             .height = 20,
                             .pixelSizeUm = row.pixelSizeUm,
                             .background = 812,
                             .range = 29188};
    const HeaderBytes block = reducedImageHeader(strip, row.fits);
    std::istringstream data(std::string(block.begin(), block.end()));
    ImageHeaderFields fields;
    ASSERT_EQ(scanImageHeader(data, "strip", fields), ReadStatus::Ok);
    EXPECT_EQ(fields.width, 750);
    EXPECT_EQ(fields.height, 20);
    EXPECT_EQ(fields.background, 812);
    EXPECT_EQ(fields.range, 29188);
    EXPECT_FLOAT_EQ(fields.xPixelSize, row.pixelSizeUm.value_or(0.0f));
    EXPECT_FALSE(fields.compressed);
    EXPECT_EQ(fields.caption, "strip" + row.captionAfterPath);
    EXPECT_EQ(headerValue(block, kExposureKey), row.exposure);
  }
}

}  // namespace
}  // namespace halvic
