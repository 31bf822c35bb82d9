// "Export FITS..." and "Export CSV..." through the menu bar of the real window on the headless
// backend: what reaches the disk, the label and the remembered settings, and what a refusal
// leaves alone.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <span>
#include <string>
#include <vector>

#include "output/fits_file.h"
#include "tests/app/main_window_fixture.h"
#include "tests/support/temp_dir.h"

namespace halvic {
namespace {

namespace fs = std::filesystem;

const std::string kWorkedExampleLamp =
    test::kSourceDir + "/tests/script/data/worked-example-lines.kr4";
const std::string kOneColumn = test::kSourceDir + "/tests/script/data/one-column.kr4";

std::string contentOf(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::string> namesIn(const test::TempDir& dir) {
  std::vector<std::string> names;
  for (const fs::directory_entry& entry : fs::directory_iterator(dir.path())) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

/** The worked example's lamp with its two lines marked: 6562.852 A at 200, 4861.33 A at 600. */
void calibrateOnTheWorkedExample(test::HeadlessSession& session) {
  session.load(kWorkedExampleLamp, "cmdload2");
  session.control("cboscale").userSelect(43);
  session.control("hsbspectra").userSet(200);
  session.control("cmdmarkline1").userClick();
  session.control("cboscale").userSelect(42);
  session.control("hsbspectra").userSet(600);
  session.control("cmdmarkline2").userClick();
  ASSERT_TRUE(session.ws().calibration.calibrated) << session.transcript_.str();
  session.transcript_.str("");
}

void choose(test::HeadlessSession& session, std::string_view item) {
  ASSERT_TRUE(session.window_.menus().byTitle("File", item).choose());
}

class ExportCommandsTest : public test::MainWindowTest {
 protected:
  void calibrateOnTheWorkedExample() { halvic::calibrateOnTheWorkedExample(*this); }
  void choose(std::string_view item) { halvic::choose(*this, item); }
  std::string caption() { return control("Lblwavelength").caption(); }
  std::optional<std::string> remembered(std::string_view key) {
    return window_.settings().value("fitsExport/" + std::string(key));
  }

  test::TempDir dir_;
};

TEST(FitsExportCommand, AnExportThatCannotBeginAsksNothing) {
  struct Row {
    std::string_view name;
    std::function<void(test::HeadlessSession&)> setUp;
    std::string_view message;
  };
  const std::vector<Row> rows{
      {"not calibrated", [](auto& s) { s.load(kWorkedExampleLamp, "cmdload2"); },
       "Not calibrated; nothing exported."},
      {"calibrated, the graphed image not loaded",
       [](auto& s) {
         calibrateOnTheWorkedExample(s);
         s.control("cmdcalcspectra").userClick();
       },
       "No image loaded; nothing exported."},
      {"calibrated, one column",
       [](auto& s) {
         calibrateOnTheWorkedExample(s);
         s.load(kOneColumn, "cmdload");
       },
       "A profile of fewer than two columns has no wavelength axis; nothing exported."},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const test::TempDir dir;
    test::HeadlessSession session;
    row.setUp(session);
    const std::string before = session.control("Lblwavelength").caption();
    session.transcript_.str("");
    // No answer is queued: a dialog opened here would end the test with MissingAnswer.
    choose(session, "Export FITS");
    EXPECT_EQ(session.transcript_.str(), "message: " + std::string(row.message) + "\n");
    EXPECT_EQ(session.control("Lblwavelength").caption(), before);
  }
}

TEST_F(ExportCommandsTest, ACancelledOrRefusedExportWritesAndRemembersNothing) {
  calibrateOnTheWorkedExample();
  const std::string before = caption();
  struct Row {
    std::string_view name;
    std::optional<std::string> save;
    std::vector<std::optional<ui::FormAnswer>> forms;
    std::string transcript;
  };
  const std::string latitude = "message: Latitude must be a number from -90 to 90.\n";
  const std::vector<Row> rows{
      {"save dialog cancelled", std::nullopt, {}, ""},
      {"form cancelled", dir_.file("out"), {std::nullopt}, ""},
      {"latitude 100, then not a number, then given up",
       dir_.file("out"),
       {ui::FormAnswer{{"OBJNAME", "Vega"}, {"GEO_LAT", "100"}},
        ui::FormAnswer{{"GEO_LAT", "north"}}},
       latitude + latitude},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    dialogs_.queueSave(row.save);
    for (const auto& form : row.forms) {
      dialogs_.queueForm(form);
    }
    transcript_.str("");
    choose("Export FITS");
    EXPECT_EQ(transcript_.str(), row.transcript);
    EXPECT_EQ(caption(), before);
    EXPECT_TRUE(namesIn(dir_).empty());
    EXPECT_EQ(remembered("OBJNAME"), std::nullopt);
  }
}

// The worked example's image was taken on 12/09/2026 at 01:00:00 by the camera's clock; 1.5 hours
// back is 2026-12-08T23:30:00 UTC.
TEST_F(ExportCommandsTest, WritesBothFilesAndRemembersTheDetailsForTheNextExport) {
  calibrateOnTheWorkedExample();
  dialogs_.queueSave(dir_.file("vega"));
  dialogs_.queueForm(
      ui::FormAnswer{{"OBJNAME", "Vega"}, {"GEO_LAT", "51.25"}, {"UTC_OFFSET", "-1.5"}});
  choose("Export FITS");
  EXPECT_EQ(transcript_.str(), "");
  EXPECT_EQ(caption(), dir_.file("vega.fits") + " saved as FITS file");
  EXPECT_EQ(namesIn(dir_), (std::vector<std::string>{"vega-pixels.fits", "vega.fits"}));
  EXPECT_EQ(remembered("GEO_LAT"), "51.25");

  // The next export's form starts with what was taken: an answer that changes nothing keeps it.
  dialogs_.queueSave(dir_.file("again.fits"));
  dialogs_.queueForm(ui::FormAnswer{});
  choose("Export FITS");
  for (const std::string_view name : {"vega.fits", "vega-pixels.fits", "again.fits"}) {
    SCOPED_TRACE(name);
    const std::string bytes = contentOf(dir_.file(name));
    const FitsHeaderReader header{std::span<const char>(bytes.data(), bytes.size())};
    EXPECT_EQ(header.text("OBJNAME"), "Vega");
    EXPECT_EQ(header.number("GEO_LAT"), 51.25);
    EXPECT_EQ(header.number("GEO_LONG"), std::nullopt);
    EXPECT_EQ(header.text("DATE-OBS"), "2026-12-08T23:30:00");
  }
}

TEST_F(ExportCommandsTest, AFailedWriteNamesTheFileAndLeavesTheOldFilesWhole) {
  calibrateOnTheWorkedExample();
  const std::string before = caption();
  struct Row {
    std::string_view name;
    std::function<std::string(const test::TempDir&)> setUp;  // the path the user chooses
    std::function<std::string(const test::TempDir&)> message;
    std::string_view reason;
    std::vector<std::string> namesAfter;
  };
  const std::vector<Row> rows{
      {"a path through a regular file",
       [](const auto& d) { return d.write("plain", "kept") + "/out"; },
       [](const auto& d) {
         return "FITS file not saved: " + d.file("plain") + "/out.fits (Not a directory)";
       },
       "Not a directory",
       {"plain"}},
      // The per-column file is renamed first: its failure leaves the old NAME.fits in place.
      {"a folder where the per-column file goes",
       [](const auto& d) {
         fs::create_directory(d.file("out-pixels.fits"));
         d.write("out.fits", "old");
         return d.file("out");
       },
       [](const auto& d) {
         return "FITS file not saved: " + d.file("out-pixels.fits") + " (Is a directory)";
       },
       "Is a directory",
       {"out-pixels.fits", "out.fits"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const test::TempDir dir;
    dialogs_.queueSave(row.setUp(dir));
    dialogs_.queueForm(ui::FormAnswer{{"OBJNAME", "Vega"}});
    transcript_.str("");
    reasons_.str("");
    choose("Export FITS");
    EXPECT_EQ(transcript_.str(), "message: " + row.message(dir) + "\n");
    EXPECT_EQ(reasons_.str(), "reason: " + std::string(row.reason) + "\n");
    EXPECT_EQ(caption(), before);
    EXPECT_EQ(namesIn(dir), row.namesAfter);
    if (fs::is_regular_file(dir.file("out.fits"))) {
      EXPECT_EQ(contentOf(dir.file("out.fits")), "old");
    }
    // Taken with OK, so remembered although nothing was written.
    EXPECT_EQ(remembered("OBJNAME"), "Vega");
  }
}

TEST_F(ExportCommandsTest, CsvIsWrittenUnderTheChosenNameOrNotAtAll) {
  transcript_.str("");
  choose("Export CSV");
  EXPECT_EQ(transcript_.str(), "message: No image loaded; nothing exported.\n");

  load(kWorkedExampleLamp, "cmdload2");
  const std::string before = caption();
  dialogs_.queueSave(dir_.write("plain", "kept") + "/out");
  transcript_.str("");
  choose("Export CSV");
  EXPECT_EQ(transcript_.str(),
            "message: CSV file not saved: " + dir_.file("plain") + "/out.csv (Not a directory)\n");
  EXPECT_EQ(reasons_.str(), "reason: Not a directory\n");
  EXPECT_EQ(caption(), before);

  dialogs_.queueSave(dir_.file("lamp"));
  choose("Export CSV");
  EXPECT_EQ(caption(), dir_.file("lamp.csv") + " saved as CSV file");
  const std::string csv = contentOf(dir_.file("lamp.csv"));
  EXPECT_TRUE(csv.starts_with("pixel,value\n1,"));
  EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 1 + 768);
}

}  // namespace
}  // namespace halvic
