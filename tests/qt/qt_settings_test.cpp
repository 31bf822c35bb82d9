#include "ui/qt/qt_settings.h"

#include <gtest/gtest.h>

#include <QSettings>
#include <optional>
#include <string>
#include <vector>

#include "app/desktop_program.h"

namespace halvic::ui {
namespace {

TEST(QtSettings, KeepsEachValueExactlyUnderItsKey) {
  struct Row {
    std::string name;
    std::string key;
    std::string value;
  };
  const std::vector<Row> rows{
      {"a grouped key", "fitsExport/OBJECT", "M 42"},
      {"line breaks and backslashes", "fitsExport/SITE", "Roof\r\nC:\\obs"},
      {"text beyond ASCII", "fitsExport/OBSERVER", "Zoë Ångström"},
      {"an empty value", "fitsExport/INSTRUMENT", ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    QtSettings().setValue(row.key, row.value);
    EXPECT_EQ(QtSettings().value(row.key), row.value);
    // Under the program's own organisation and application, where the next run finds it.
    const QSettings stored(QSettings::UserScope, "Halvic", "Halvic");
    EXPECT_EQ(stored.value(QString::fromStdString(row.key)).toString().toStdString(), row.value);
  }
  EXPECT_EQ(QtSettings().value("fitsExport/never set"), std::nullopt);
}

TEST(QtSettings, WhatOneRunOfTheProgramRemembersTheNextFinds) {
  {
    DesktopProgram first;
    first.mainWindow().settings().setValue("fitsExport/OBSERVER", "A. Observer");
  }
  DesktopProgram second;
  EXPECT_EQ(second.mainWindow().settings().value("fitsExport/OBSERVER"), "A. Observer");
}

}  // namespace
}  // namespace halvic::ui
