// Settings texts that once lost a key: found by the settings fuzz target.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/settings.h"

namespace {

std::string setKey(const std::string& text, const char* key, const char* value) {
  const platform::ProfileEntry entry{key, value};
  const std::optional<std::string> written =
      platform::withProfileValues(text, "VELK_MUR", {&entry, 1});
  EXPECT_TRUE(written.has_value());
  return written.value_or("");
}

}  // namespace

TEST(SettingsText, KeyAddedAfterALastLineEndingInALoneCarriageReturnIsReadBack) {
  const std::string text = setKey("[VELK_MUR]\r\nLOCALDATA=C:\\v\r", "MEMSTICK", "E:\\");
  EXPECT_EQ(platform::profileValue(text, "VELK_MUR", "MEMSTICK", "-"), "E:\\");
  EXPECT_EQ(platform::profileValue(text, "VELK_MUR", "LOCALDATA", "-"), "C:\\v");
}

TEST(SettingsText, SectionAddedAfterALastLineEndingInALoneCarriageReturnKeepsThatLine) {
  const std::string text = setKey("[OTHER]\r\nMEMSTICK=x\r", "MEMSTICK", "E:\\");
  EXPECT_EQ(platform::profileValue(text, "OTHER", "MEMSTICK", "-"), "x");
  EXPECT_EQ(platform::profileValue(text, "VELK_MUR", "MEMSTICK", "-"), "E:\\");
}
