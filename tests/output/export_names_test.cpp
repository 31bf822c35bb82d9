#include "output/export_names.h"

#include <gtest/gtest.h>

#include <string_view>
#include <vector>

namespace halvic {
namespace {

TEST(ExportNames, ATypedNameGetsItsExtensionAndItsCompanion) {
  struct Row {
    std::string_view name;
    std::string_view typed;
    std::vector<std::string> fitsFiles;
  };
  const std::vector<Row> rows{
      {"without extension", "night/vega", {"night/vega.fits", "night/vega-pixels.fits"}},
      {"with extension", "night/vega.fits", {"night/vega.fits", "night/vega-pixels.fits"}},
      {"another extension is part of the name",
       "vega.fit",
       {"vega.fit.fits", "vega.fit-pixels.fits"}},
      {"upper case is another extension", "VEGA.FITS", {"VEGA.FITS.fits", "VEGA.FITS-pixels.fits"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(fitsExportFiles(row.typed), row.fitsFiles);
  }
  EXPECT_EQ(withExtension("out/spectrum", kCsvExtension), "out/spectrum.csv");
  EXPECT_EQ(withExtension("out/spectrum.csv", kCsvExtension), "out/spectrum.csv");
}

TEST(ExportNames, TheSuggestionIsTheImageNameWithoutFolderAndExtension) {
  EXPECT_EQ(suggestedExportName("lamp/neon-lamp.kr4", "spectrum", kFitsExtension),
            "neon-lamp.fits");
  EXPECT_EQ(suggestedExportName("/data/night.1.kr4", "spectrum", kCsvExtension), "night.1.csv");
  EXPECT_EQ(suggestedExportName("", "spectrum", kCsvExtension), "spectrum.csv");
}

TEST(ExportNames, AnswersThatNameNoFile) {
  EXPECT_TRUE(namesNoFile(""));
  EXPECT_TRUE(namesNoFile("night/"));
  EXPECT_FALSE(namesNoFile("night/vega"));
}

}  // namespace
}  // namespace halvic
