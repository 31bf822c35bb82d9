#include "ui/table_text.h"

#include <gtest/gtest.h>

#include <sstream>

#include "ui/headless/headless_dialogs.h"

namespace halvic::ui {
namespace {

TableRequest sampleTable() {
  TableRequest table;
  table.columns = {"Wavelength (A)", "Status", "Note"};
  table.rows = {{"5852.488", "used", "plain"},
                {"6506.528", "blended", "a, b"},
                {"6717.043", "no-line", "says \"x\"\tthen\r\nmore"}};
  table.summaryLabels = {"RMS (A)", "Used lines"};
  table.summaryCells = {"0.01", "1"};
  table.rowPrefix = "check: ";
  table.summaryPrefix = "check-rms: ";
  return table;
}

TEST(TableText, TabSeparatedForTheClipboard) {
  EXPECT_EQ(tabSeparatedText(sampleTable()),
            "Wavelength (A)\tStatus\tNote\n"
            "5852.488\tused\tplain\n"
            "6506.528\tblended\ta, b\n"
            "6717.043\tno-line\tsays \"x\" then  more\n");
}

TEST(TableText, CsvQuotesWhatNeedsIt) {
  EXPECT_EQ(csvText(sampleTable()),
            "Wavelength (A),Status,Note\r\n"
            "5852.488,used,plain\r\n"
            "6506.528,blended,\"a, b\"\r\n"
            "6717.043,no-line,\"says \"\"x\"\"\tthen\r\nmore\"\r\n");
}

TEST(TableText, AScriptedSessionWritesRowsAndSummaryWithTheirPrefixes) {
  std::ostringstream transcript;
  HeadlessDialogs dialogs(transcript);
  TableRequest table = sampleTable();
  table.actions = {"Refine with All Lines"};
  EXPECT_EQ(dialogs.showTable(table), std::nullopt);  // closed, no action
  EXPECT_EQ(transcript.str(),
            "check: 5852.488 | used | plain\n"
            "check: 6506.528 | blended | a, b\n"
            "check: 6717.043 | no-line | says \"x\"\tthen\\r\\nmore\n"
            "check-rms: 0.01 | 1\n");
}

}  // namespace
}  // namespace halvic::ui
