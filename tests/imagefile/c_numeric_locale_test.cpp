#include "imagefile/c_numeric_locale.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <array>
#include <cstdio>
#include <string>

#include "tests/support/temp_dir.h"

namespace halvic {
namespace {

std::string printed(double value) {
  std::array<char, 16> text{};
  std::snprintf(text.data(), text.size(), "%.1f", value);
  return text.data();
}

// Debian installs no locale with a decimal comma, so the test makes one in its own folder.
TEST(CNumericLocale, PrintsAPointInsideAndTheThreadsCommaOutside) {
  const test::TempDir dir;
  const std::string command =
      "localedef -i de_DE -f ISO-8859-1 " + dir.file("de_DE.ISO-8859-1") + " >/dev/null 2>&1";
  if (std::system(command.c_str()) != 0) {
    GTEST_SKIP() << "SKIP: localedef cannot make a German locale here";
  }
  ::setenv("LOCPATH", dir.path().c_str(), 1);
  const locale_t comma = ::newlocale(LC_ALL_MASK, "de_DE.ISO-8859-1", nullptr);
  ::unsetenv("LOCPATH");
  ASSERT_NE(comma, nullptr);
  const locale_t before = ::uselocale(comma);
  EXPECT_EQ(printed(4.5), "4,5");
  {
    const CNumericLocale numeric;
    EXPECT_EQ(printed(4.5), "4.5");
  }
  EXPECT_EQ(printed(4.5), "4,5");
  ::uselocale(before);
  ::freelocale(comma);
}

}  // namespace
}  // namespace halvic
