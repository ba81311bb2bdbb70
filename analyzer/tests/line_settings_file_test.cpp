#include "analyzer/core/line_settings_file.h"

#include <gtest/gtest.h>

#include <climits>

#include "common/atomic_file.h"
#include "testing/test_support.h"

namespace quenda {
namespace {

using namespace testing;

constexpr RedlineSettings kOld{11, 22, 233, 44};

RedlineSettings Parsed(std::string_view text) {
  return ParseRedlineSettings(text, kOld);
}

TEST(RedlineSettingsFile, SavesTwoLinesAndLoadsLowBytesBackWithoutChecks) {
  TempDir dir;
  std::string path = dir.File("soft.rls");
  RedlineSettings settings{7, 254, 255, 0};
  ASSERT_TRUE(SaveRedlineSettings(path, settings).ok());
  EXPECT_EQ(ReadText(path), "Quenda\n7 254 255 0\n");
  RedlineSettings loaded;
  ASSERT_TRUE(LoadRedlineSettings(path, loaded).ok());
  EXPECT_EQ(loaded, settings);
  EXPECT_EQ(FormatRedlineSettings(RedlineSettings{}), "Quenda\n100 150 220 50\n");
  // Low bytes are taken without checks: growth below pick-up and white below black load as
  // they are.
  WriteText(path, "Quenda\n300 20 10 400\n");
  ASSERT_TRUE(LoadRedlineSettings(path, loaded).ok());
  EXPECT_EQ(loaded, (RedlineSettings{44, 20, 10, 144}));
  EXPECT_EQ(Parsed("Quenda -1 -300 +5 256"), (RedlineSettings{255, 212, 5, 0}));
  // 10^20 - 1 is beyond every integer type; its low byte is still 255.
  EXPECT_EQ(Parsed("Quenda 99999999999999999999 1 2 3").linePickUp, 255);
  // The header word is not checked, and any blanks separate the numbers.
  EXPECT_EQ(Parsed("Other\r\n\t1\r\n2 3    4"), (RedlineSettings{1, 2, 3, 4}));
}

TEST(RedlineSettingsFile, MissingNumbersKeepTheirSettings) {
  EXPECT_EQ(Parsed("Quenda\n10 20\n"), (RedlineSettings{10, 20, 233, 44}));
  EXPECT_EQ(Parsed("Quenda\n10 x 30 40\n"), (RedlineSettings{10, 22, 233, 44}));
  EXPECT_EQ(Parsed("Quenda\n10 20 30- 40\n"), (RedlineSettings{10, 20, 30, 44}));
  EXPECT_EQ(Parsed("Quenda\n"), kOld);
  EXPECT_EQ(Parsed(""), kOld);
  EXPECT_EQ(Parsed("1 2 3 4"), (RedlineSettings{2, 3, 4, 44}));  // "1" is taken as the header

  TempDir dir;
  std::string path = dir.File("empty.rls");
  WriteText(path, "");
  RedlineSettings settings = kOld;
  EXPECT_TRUE(LoadRedlineSettings(path, settings).ok());
  EXPECT_EQ(settings, kOld);
}

TEST(RedlineSettingsFile, FailuresLeaveSettingsAndFilesAlone) {
  TempDir dir;
  RedlineSettings settings = kOld;
  EXPECT_EQ(LoadRedlineSettings(dir.File("none.rls"), settings).message(),
            "Error openning setting file");
  EXPECT_EQ(LoadRedlineSettings(dir.path(), settings).message(), "Error openning setting file");
  EXPECT_EQ(settings, kOld);

  std::string path = dir.File("locked.rls");
  WriteText(path, "Quenda\n1 2 3 4\n");
  testing::MakeReadOnly(path);
  EXPECT_EQ(SaveRedlineSettings(path, kOld).message(), "Error writing setting file");
  EXPECT_EQ(ReadText(path), "Quenda\n1 2 3 4\n");
  testing::MakeWritable(path);
  SetWriteLimitForTesting(5);
  Status full = SaveRedlineSettings(path, kOld);
  SetWriteLimitForTesting(-1);
  EXPECT_EQ(full.message(), "Error writing setting file");
  EXPECT_EQ(ReadText(path), "Quenda\n1 2 3 4\n");
}

TEST(LineSettingsDialog, FieldsReadAsDecimalNumbersAndAcceptChecksInOrder) {
  using E = LineSettingsEntries;
  EXPECT_EQ(CheckLineSettingsEntries(E{255, 300, 50, 60}), "Line Pick Up: out of Range!");
  EXPECT_EQ(CheckLineSettingsEntries(E{-1, 10, 50, 60}), "Line Pick Up: out of Range!");
  EXPECT_EQ(CheckLineSettingsEntries(E{10, 255, 50, 60}), "Line Growth: out of Range!");
  EXPECT_EQ(CheckLineSettingsEntries(E{10, -3, 50, 60}), "Line Growth: out of Range!");
  EXPECT_EQ(CheckLineSettingsEntries(E{11, 10, 50, 60}),
            "Line Growth must be greater than Line Pickup");
  EXPECT_EQ(CheckLineSettingsEntries(E{10, 11, 50, 51}),
            "White Clamp value must be greater than Black Clamp's");
  // Clamps outside a byte would be stored as their low 8 bits: 260 over 250 would become 4
  // under 250.
  EXPECT_EQ(CheckLineSettingsEntries(E{10, 11, 260, 250}), "White Clamp: out of Range!");
  EXPECT_EQ(CheckLineSettingsEntries(E{10, 11, 20, -5}), "Black Clamp: out of Range!");
  // Equal values and the ends of the ranges are accepted.
  for (E ok : {E{0, 0, 0, 0}, E{254, 254, 255, 255}, E{100, 150, 220, 50}})
    EXPECT_EQ(CheckLineSettingsEntries(ok), "");
  EXPECT_EQ(AcceptedLineSettings(E{100, 150, 220, 50}), RedlineSettings{});
  EXPECT_EQ(AcceptedLineSettings(E{254, 254, 255, 255}), (RedlineSettings{254, 254, 255, 255}));
  // The fields read as decimal numbers.
  EXPECT_EQ(ParseDialogNumber("  120"), 120);
  EXPECT_EQ(ParseDialogNumber("-7"), -7);
  EXPECT_EQ(ParseDialogNumber("+12abc"), 12);
  EXPECT_EQ(ParseDialogNumber("abc"), 0);
  EXPECT_EQ(ParseDialogNumber(""), 0);
  EXPECT_EQ(ParseDialogNumber("99999999999999"), INT_MAX);
  EXPECT_EQ(ParseDialogNumber("-99999999999999"), INT_MIN);
}

}  // namespace
}  // namespace quenda
