#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "calibration/dispersion.h"
#include "calibration/grating_solve.h"
#include "imagefile/image_reader.h"
#include "tools/samplegen/sample_files.h"
#include "tools/samplegen/sample_spectra.h"

namespace halvic::samplegen {
namespace {

const std::filesystem::path kSamplesFolder = std::filesystem::path(HALVIC_SOURCE_DIR) / "samples";

std::vector<uint8_t> fileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct LoadedSample {
  ImageHeaderFields fields;
  ImageArray image;
};

LoadedSample loadSample(const std::string& name) {
  const std::string path = (kSamplesFolder / name).string();
  LoadedSample sample;
  EXPECT_EQ(scanImageHeader(path, sample.fields), ReadStatus::Ok) << path;
  HeaderBytes headerBytes{};
  EXPECT_EQ(readImagePixels(path, sample.fields.compressed, sample.fields.height,
                            sample.fields.width, sample.image, headerBytes),
            ReadStatus::Ok)
      << path;
  return sample;
}

double columnSum(const ImageArray& image, int column, int firstRow, int lastRow) {
  double sum = 0.0;
  for (int row = firstRow; row <= lastRow; ++row) {
    sum += image.at(column, row);
  }
  return sum;
}

/** Intensity-weighted centroid of the five columns around a column, over all 20 rows. */
double fiveColumnCentroid(const ImageArray& image, int centre, bool subtractBackground) {
  const double background =
      subtractBackground
          ? 0.5 * (columnSum(image, centre - 3, 1, 20) + columnSum(image, centre + 3, 1, 20))
          : 0.0;
  double weighted = 0.0;
  double total = 0.0;
  for (int column = centre - 2; column <= centre + 2; ++column) {
    const double weight = columnSum(image, column, 1, 20) - background;
    weighted += column * weight;
    total += weight;
  }
  return weighted / total;
}

TEST(SampleFilesTest, RegeneratedFilesMatchTheCommittedOnes) {
  const std::filesystem::path written =
      std::filesystem::path(::testing::TempDir()) / "halvic_samplegen_test" / "samples";
  std::filesystem::remove_all(written);
  ASSERT_EQ(writeSampleFiles(written), "");
  const std::vector<SampleFile> files = buildSampleFiles();
  ASSERT_EQ(files.size(), 4u);
  for (const SampleFile& file : files) {
    SCOPED_TRACE(file.name);
    const std::vector<uint8_t> committed = fileBytes(kSamplesFolder / file.name);
    ASSERT_FALSE(committed.empty()) << "missing in " << kSamplesFolder;
    EXPECT_EQ(committed.size(), file.bytes.size());
    EXPECT_TRUE(committed == file.bytes) << "regenerate with halvic-samplegen";
    EXPECT_TRUE(fileBytes(written / file.name) == file.bytes);
  }
}

TEST(SampleFilesTest, PlainAndCompressedFormsReadBackAlike) {
  const GratingModel model = trueSampleModel();
  struct Pair {
    std::string plain, compressed;
    ImageArray rendered;
  };
  const std::vector<Pair> pairs = {
      {"neon-lamp.kr4", "neon-lamp-compressed.kr4", renderLampImage(model)},
      {"object-spectrum.kr4", "object-spectrum-compressed.kr4", renderObjectImage(model)},
  };
  int checked = 0;
  for (const Pair& pair : pairs) {
    SCOPED_TRACE(pair.plain);
    const LoadedSample plain = loadSample(pair.plain);
    const LoadedSample compressed = loadSample(pair.compressed);
    EXPECT_FALSE(plain.fields.compressed);
    EXPECT_TRUE(compressed.fields.compressed);
    EXPECT_EQ(plain.fields.height, kSampleHeight);
    EXPECT_EQ(plain.fields.width, kSampleWidth);
    EXPECT_EQ(plain.fields.xPixelSize, 9.0f);
    EXPECT_EQ(plain.fields.background, 100);
    EXPECT_EQ(plain.fields.range, 4000);
    EXPECT_EQ(plain.image, compressed.image);
    EXPECT_EQ(plain.image, pair.rendered);

    // The plain file's raw values stay within what a load keeps unclamped, and the compressed
    // file holds raw rows (L = 2 x width) as well as delta rows.
    const std::vector<uint8_t> plainBytes = fileBytes(kSamplesFolder / pair.plain);
    int largest = 0;
    for (size_t i = kHeaderSize; i + 1 < plainBytes.size(); i += 2) {
      largest = std::max(largest, plainBytes[i] | (plainBytes[i + 1] << 8));
    }
    EXPECT_LE(largest, 32767);
    const std::vector<uint8_t> packed = fileBytes(kSamplesFolder / pair.compressed);
    int rawRows = 0;
    int deltaRows = 0;
    for (size_t offset = kHeaderSize; offset + 1 < packed.size();) {
      const int length = packed[offset] | (packed[offset + 1] << 8);
      (length == 2 * kSampleWidth ? rawRows : deltaRows) += 1;
      offset += 2 + static_cast<size_t>(length);
    }
    EXPECT_EQ(rawRows, 4);
    EXPECT_EQ(deltaRows, 16);
    ++checked;
  }
  EXPECT_EQ(checked, 2);
}

TEST(SampleModelTest, AnchorLinesFallOnTheirColumns) {
  const GratingModel model = trueSampleModel();
  EXPECT_LT(model.focalLengthMm, 0.0);  // wavelength rising with the column
  int checked = 0;
  for (const AnchorLine& anchor : {kAnchor1, kAnchor2}) {
    SCOPED_TRACE(anchor.wavelength);
    const auto pixel = pixelOfWavelength(model, anchor.wavelength, kSampleWidth);
    ASSERT_TRUE(pixel.has_value());
    EXPECT_NEAR(*pixel, anchor.pixel, 0.01);
    EXPECT_NEAR(wavelengthAtPixel(model, anchor.pixel), anchor.wavelength, 1e-6);
    ++checked;
  }
  EXPECT_EQ(checked, 2);
  EXPECT_FALSE(pixelOfWavelength(model, 5460.753, kSampleWidth).has_value());
  EXPECT_FALSE(pixelOfWavelength(model, 6929.467, kSampleWidth).has_value());
}

TEST(SampleModelTest, LampLinesSitWhereTheModelPutsThem) {
  const LoadedSample lamp = loadSample("neon-lamp.kr4");
  // The two marked lines, as a user finds them: plain intensity-weighted centroid.
  EXPECT_NEAR(fiveColumnCentroid(lamp.image, 214, false), 214.0, 0.3);
  EXPECT_NEAR(fiveColumnCentroid(lamp.image, 590, false), 590.0, 0.3);

  // Every other line far enough from its neighbours, background subtracted.
  const std::vector<PlacedLine> placed = placeLampLines(trueSampleModel());
  ASSERT_EQ(placed.size(), 23u);
  int checked = 0;
  for (size_t i = 0; i < placed.size(); ++i) {
    bool isolated = true;
    for (size_t j = 0; j < placed.size(); ++j) {
      isolated = isolated && (i == j || std::fabs(placed[i].pixel - placed[j].pixel) > 6.0);
    }
    if (!isolated) {
      continue;
    }
    SCOPED_TRACE(placed[i].line.wavelength);
    const int cursor = static_cast<int>(std::lround(placed[i].pixel));
    EXPECT_NEAR(fiveColumnCentroid(lamp.image, cursor, true), placed[i].pixel, 0.3);
    ++checked;
  }
  EXPECT_EQ(checked, 21);  // all but the Hg 6716.429 / Ne 6717.043 blend
}

TEST(SampleModelTest, TwoLineSolveReproducesTheLampLines) {
  const GratingModel truth = trueSampleModel();
  LineMarks marks;
  marks.line1Wavelength = LineWavelength::fromDouble(kAnchor1.wavelength);
  marks.line2Wavelength = LineWavelength::fromDouble(kAnchor2.wavelength);
  marks.line1Pixel = static_cast<float>(kAnchor1.pixel);
  marks.line2Pixel = static_cast<float>(kAnchor2.pixel);
  GratingModel start;  // the program's start values: 140 mm, 6.6666666 um
  start.xPixelSize = truth.xPixelSize;
  const auto dispersion =
      estimateDispersion(marks.line1Wavelength, marks.line1Pixel, marks.line2Wavelength,
                         marks.line2Pixel, start.xPixelSize);
  ASSERT_TRUE(dispersion.has_value());
  EXPECT_NEAR(*dispersion, -193.27, 0.01);
  const SolveResult solve = solveGratingModel(start, marks, *dispersion, false);
  ASSERT_TRUE(solve.solved);
  EXPECT_EQ(solve.model.grooveSpacingUm, truth.grooveSpacingUm);
  EXPECT_NEAR(solve.model.focalLengthMm, truth.focalLengthMm, 0.01);
  EXPECT_NEAR(solve.model.alphaDeg, truth.alphaDeg, 0.0001);

  // The solve leaves about 0.01 A over the detector; 0.05 A is the bound asserted.
  int checked = 0;
  for (const PlacedLine& placed : placeLampLines(truth)) {
    SCOPED_TRACE(placed.line.wavelength);
    EXPECT_NEAR(wavelengthAtPixel(solve.model, placed.pixel), placed.line.wavelength, 0.05);
    ++checked;
  }
  EXPECT_EQ(checked, 23);
}

TEST(ObjectSampleTest, SkyFillsEverySlitRowAndTheObjectOnlyItsBand) {
  const LoadedSample object = loadSample("object-spectrum.kr4");
  const GratingModel model = trueSampleModel();
  const int skyLine = static_cast<int>(std::lround(*pixelOfWavelength(model, 5577.34, 765)));
  const int skyFree = skyLine - 12;  // continuum only, clear of the Mg I and Fe I dips
  int skyRows = 0;
  for (int row = 1; row <= kSampleHeight; ++row) {
    SCOPED_TRACE(row);
    const double lineExcess = object.image.at(skyLine, row) - object.image.at(skyFree, row);
    EXPECT_GT(lineExcess, 900.0);  // 1200 counts of [O I] 5577 on top of whatever lies beneath
    const bool inBand = row >= kObjectFirstRow && row <= kObjectLastRow;
    if (!inBand) {
      // Bias 100 and sky continuum 40, nothing of the object.
      EXPECT_NEAR(object.image.at(skyFree, row), 140.0, 30.0);
      ++skyRows;
    }
  }
  EXPECT_EQ(skyRows, 12);

  // Sky measured outside the band and scaled to its 8 rows cancels the line inside it, leaving
  // the object's continuum, the same as 12 columns away to within the noise.
  const auto skySubtracted = [&object](int column) {
    const double band = columnSum(object.image, column, kObjectFirstRow, kObjectLastRow);
    const double sky = columnSum(object.image, column, 1, kObjectFirstRow - 1) +
                       columnSum(object.image, column, kObjectLastRow + 1, kSampleHeight);
    return band - sky * 8.0 / 12.0;
  };
  EXPECT_NEAR(skySubtracted(skyLine), skySubtracted(skyFree), 400.0);

  // H-alpha is a deep dip in the band.
  const int hAlpha = static_cast<int>(std::lround(*pixelOfWavelength(model, 6562.852, 765)));
  EXPECT_LT(skySubtracted(hAlpha), 0.6 * skySubtracted(hAlpha + 25));
}

}  // namespace
}  // namespace halvic::samplegen
