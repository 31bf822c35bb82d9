#include "tools/halvic_script/script_session.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/temp_dir.h"

namespace halvic {
namespace {

struct SessionResult {
  int status = 0;
  std::string transcript;
  std::string errors;
};

SessionResult runScript(const std::string& script) {
  std::ostringstream transcript;
  std::ostringstream errors;
  ScriptSession session(transcript, errors);
  std::istringstream input(script);
  SessionResult result;
  result.status = session.run(input);
  result.transcript = transcript.str();
  result.errors = errors.str();
  return result;
}

TEST(ScriptSessionTest, LinesThatCannotBeCarriedOutStopWithTheirLineNumber) {
  struct Row {
    std::string script;
    std::string error;
  };
  const std::vector<Row> rows{
      {"frobnicate", "error: line 1: unknown command 'frobnicate'\n"},
      {"# comment\n\nclick nothing", "error: line 3: no control named 'nothing'\n"},
      {"click Label3", "error: line 1: 'Label3' cannot be clicked\n"},
      {"select cboscale x", "error: line 1: an entry index must be a whole number, not 'x'\n"},
      {"select cboscale 48", "error: line 1: 'cboscale' has no entry 48\n"},
      {"set cboscale 3", "error: line 1: 'cboscale' is not a scroll bar\n"},
      {"scroll hsbspectra 1.5",
       "error: line 1: a scroll bar value must be a whole number, not '1.5'\n"},
      {"click cmdload", "error: line 1: an open-file dialog found no queued answer\n"},
      {"select cboscale 47", "error: line 1: an input box found no queued answer\n"},
      {"var nothing", "error: line 1: no workspace value named 'nothing'\n"},
      {"var profile", "error: line 1: 'profile' needs an index\n"},
      {"var profile[0]", "error: line 1: index out of range in 'profile[0]'\n"},
      {"var profile[769]", "error: line 1: index out of range in 'profile[769]'\n"},
      {"var dataHeaderBytes[2048]",
       "error: line 1: index out of range in 'dataHeaderBytes[2048]'\n"},
      {"var dataImage[3]", "error: line 1: 'dataImage' takes a column and a row\n"},
      {"var profile[3,1]", "error: line 1: 'profile' takes one index\n"},
      {"var profile[5..4]", "error: line 1: empty index range in 'profile[5..4]'\n"},
      {"print Shphart1", "error: line 1: 'Shphart1' has no value to print\n"},
      {"colour cmdload", "error: line 1: 'cmdload' has no colour to print\n"},
      {"click", "error: line 1: usage: click NAME\n"},
      {"print cboscale extra", "error: line 1: usage: print NAME\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.script);
    const SessionResult result = runScript(row.script);
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.errors, row.error);
  }
  EXPECT_EQ(rows.size(), 21U);
}

TEST(ScriptSessionTest, WholeNumbersOfAnyLengthAreClampedByTheScrollBar) {
  struct Row {
    std::string_view value;
    std::string_view expected;
  };
  // hsbspectra runs from 1 to 768 before any load.
  const std::vector<Row> rows{
      {"99999999999999999999", "hsbspectra: 768\n"},
      {"-99999999999999999999", "hsbspectra: 1\n"},
      {"9223372036854775807", "hsbspectra: 768\n"},
      {"2147483648", "hsbspectra: 768\n"},
      {"-2147483649", "hsbspectra: 1\n"},
      {"500", "hsbspectra: 500\n"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.value);
    const SessionResult result =
        runScript("set hsbspectra " + std::string(row.value) + "\nprint hsbspectra\n");
    EXPECT_EQ(result.status, 0) << result.errors;
    EXPECT_EQ(result.transcript, row.expected);
  }
  EXPECT_EQ(runScript("set hsbspectra 99999999999999999999x\n").status, 2);
}

TEST(ScriptSessionTest, ExitEndsTheSessionAtOnceAndLaterLinesAreNotRead) {
  const SessionResult result = runScript("print cbobox\nclick cmdexit\nnot even a command\n");
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.transcript, "cbobox: 1\n");
  EXPECT_EQ(result.errors, "");
}

TEST(ScriptSessionTest, ATextKeepsItsBlanksAndInputBoxesAppearInTheTranscript) {
  const SessionResult result = runScript(
      "input  5875.6 \nselect cboscale 47\nvar selectedLineWavelength\n"
      "input -5\nselect cboscale 47\nvar selectedLineWavelength\n"
      "input 4861.33\nselect cboscale 47\nvar selectedLineWavelength\n"
      "input\nselect cboscale 47\ninput-cancel\nselect cboscale 47\n"
      "var selectedLineWavelength\nopen  name with blanks.kr4\nclick cmdload\n"
      "var selectedFileName\n");
  EXPECT_EQ(result.status, 0) << result.errors;
  const std::string box =
      "input-box: Manual Wavelength Entry | Enter wavelength of selected line in Angstroms | "
      "5460.753\n";
  // The first answer is " 5875.6 " (blanks kept), which still reads as a number.
  EXPECT_EQ(result.transcript, box + "selectedLineWavelength: 5875.6\n" + box +
                                   "selectedLineWavelength: -5\n" + box +
                                   "selectedLineWavelength: 4861.33\n" + box +
                                   "message: Wavelength not understood; line not changed!\n" + box +
                                   "selectedLineWavelength: 4861.33\n"
                                   "message: File not loaded successfully\n"
                                   "selectedFileName:  name with blanks.kr4\n");
}

struct PpmImage {
  int width = 0;
  int height = 0;
  std::vector<unsigned char> rgb;
  std::array<int, 3> at(int x, int y) const {
    const size_t i =
        (static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)) * 3;
    return {rgb[i], rgb[i + 1], rgb[i + 2]};
  }
};

PpmImage readPpm(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::string magic;
  int maximum = 0;
  PpmImage image;
  file >> magic >> image.width >> image.height >> maximum;
  file.get();
  image.rgb.resize(static_cast<size_t>(image.width * image.height * 3));
  file.read(reinterpret_cast<char*>(image.rgb.data()),
            static_cast<std::streamsize>(image.rgb.size()));
  return image;
}

// The ramp image has background 10 and range 255, so divisor 1 and scale 1: the grey level of
// every strip pixel is the pixel minus 10, clamped to 0..255.
TEST(ScriptSessionTest, SavedWindowShowsEveryStripPixelAtItsRawGreyLevel) {
  const test::TempDir dir;
  const std::filesystem::path path = dir.file("window.ppm");
  const std::filesystem::path ramp =
      std::filesystem::path(HALVIC_SOURCE_DIR) / "tests/script/data/ramp-400x10.kr4";
  const SessionResult result =
      runScript("open " + ramp.string() + "\nclick cmdload\nsave-window " + path.string() + "\n");
  ASSERT_EQ(result.status, 0) << result.errors;
  const PpmImage window = readPpm(path);
  ASSERT_EQ(window.width, 775);
  ASSERT_EQ(window.height, 379);
  int checked = 0;
  for (int row = 1; row <= 10; ++row) {
    for (int column = 1; column <= 400; ++column) {
      const int pixel = (10 + column + 20 * row) % 300;
      const int grey = std::clamp(pixel - 10, 0, 255);
      ASSERT_EQ(window.at(187 + column, 13 + row), (std::array<int, 3>{grey, grey, grey}))
          << "column " << column << " row " << row;
      ++checked;
    }
  }
  EXPECT_EQ(checked, 4000);
  // The rest of the frame's block is black, the window around it grey.
  EXPECT_EQ(window.at(5, 9), (std::array<int, 3>{0, 0, 0}));
  EXPECT_EQ(window.at(187, 14), (std::array<int, 3>{0, 0, 0}));
  EXPECT_EQ(window.at(772, 28), (std::array<int, 3>{0, 0, 0}));
  EXPECT_EQ(window.at(773, 28), (std::array<int, 3>{192, 192, 192}));
  EXPECT_EQ(window.at(4, 9), (std::array<int, 3>{192, 192, 192}));
  std::filesystem::remove(path);
}

}  // namespace
}  // namespace halvic
