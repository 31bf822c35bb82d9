#include "ui/dialogs.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace halvic::ui {
namespace {

TEST(WithFilterExtension, AddsTheSelectedFiltersExtensionToANameWithoutOneOfTheirs) {
  const std::vector<FileFilter> images{{"PNG Image (*.png)", "*.png"},
                                       {"SVG Image (*.svg)", "*.svg"},
                                       {"PDF Document (*.pdf)", "*.pdf"}};
  struct Row {
    std::string name;
    std::string path;
    size_t selected;
    std::string expected;
  };
  const std::vector<Row> rows{
      {"no extension, first filter", "out/graph", 0, "out/graph.png"},
      {"no extension, third filter", "graph", 2, "graph.pdf"},
      {"another filter's extension wins over the selection", "graph.svg", 0, "graph.svg"},
      {"letters in either case", "/tmp/Graph.PDF", 1, "/tmp/Graph.PDF"},
      {"an extension of none of them", "graph.v2", 1, "graph.v2.svg"},
      {"a dot in the folder is not the name's", "run.png/graph", 0, "run.png/graph.png"},
      {"an extension alone is no name", ".png", 1, ".png.svg"},
      {"a folder alone names no file", "out/", 0, "out/"},
      {"nothing chosen", "", 0, ""},
      {"a selection past the list", "graph", 3, "graph"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(withFilterExtension(row.path, images, row.selected), row.expected);
  }
  EXPECT_EQ(rows.size(), 10U);
}

TEST(WithFilterExtension, KeepsThePathWhenTheSelectedFilterNamesNoExtension) {
  const std::vector<FileFilter> filters{
      {"All Files (*.*)", "*.*"}, {"Pictures (*.p?g)", "*.p?g"}, {"Text (*.txt)", "*.txt"}};
  EXPECT_EQ(withFilterExtension("notes", filters, 0), "notes");
  EXPECT_EQ(withFilterExtension("notes", filters, 1), "notes");
  EXPECT_EQ(withFilterExtension("notes.png", filters, 2), "notes.png.txt");
}

}  // namespace
}  // namespace halvic::ui
