#include "ui/recent_files.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QSignalSpy>

#include "testing/test_support.h"
#include "ui/settings.h"

namespace quenda {
namespace {

using testing::TempDir;

QString Q(const std::string& text) {
  return QString::fromStdString(text);
}

TEST(RecentFiles, NewestFirstWithoutDuplicatesAtMostFourAndListedInTheMenu) {
  TempDir dir;
  Settings settings(QStringLiteral("painter"), Q(dir.path()));
  RecentFiles recent(settings);
  QMenu menu;
  recent.AttachMenu(&menu);
  ASSERT_EQ(menu.actions().size(), 1);
  EXPECT_FALSE(menu.actions()[0]->isEnabled());
  for (const char* path : {"/s/a1.qds", "/s/b1.qds", "/s/c1.qds", "/s/a1.qds"})
    recent.Add(QString::fromLatin1(path));
  EXPECT_EQ(recent.files(), (QStringList{"/s/a1.qds", "/s/c1.qds", "/s/b1.qds"}));
  // The same file spelt in another case moves up under its new spelling.
  recent.Add(QStringLiteral("/S/B1.QDS"));
  EXPECT_EQ(recent.files(), (QStringList{"/S/B1.QDS", "/s/a1.qds", "/s/c1.qds"}));
  recent.Add(QStringLiteral("/s/d1.qds"));
  recent.Add(QStringLiteral("/s/e1.qds"));
  EXPECT_EQ(recent.files(), (QStringList{"/s/e1.qds", "/s/d1.qds", "/S/B1.QDS", "/s/a1.qds"}));
  recent.Remove(QStringLiteral("/s/d1.qds"));
  recent.Add(QString());
  EXPECT_EQ(recent.files(), (QStringList{"/s/e1.qds", "/S/B1.QDS", "/s/a1.qds"}));

  // The menu lists the entries and reports the chosen one.
  recent.Add(QStringLiteral("/s/tom&jerry1.qds"));
  recent.Add(QStringLiteral("/s/walk1.qds"));
  ASSERT_EQ(menu.actions().size(), 4);
  EXPECT_EQ(menu.actions()[0]->text(), QStringLiteral("&1 /s/walk1.qds"));
  EXPECT_EQ(menu.actions()[1]->text(), QStringLiteral("&2 /s/tom&&jerry1.qds"));
  QSignalSpy chosen(&recent, &RecentFiles::Chosen);
  menu.actions()[1]->trigger();
  ASSERT_EQ(chosen.count(), 1);
  EXPECT_EQ(chosen.at(0).at(0).toString(), QStringLiteral("/s/tom&jerry1.qds"));
}

TEST(RecentFiles, SurviveInTheProfileWhoseValuesRoundTripAndWhoseWriteFailureIsSaid) {
  TempDir dir;
  {
    Settings settings(QStringLiteral("painter"), Q(dir.path()));
    RecentFiles recent(settings);
    recent.Add(QStringLiteral("/seq/walk1.qds"));
    recent.Add(QStringLiteral("/seq/run=1.qds"));
    recent.Add(QStringLiteral("/seq/jump3.qds"));
    recent.Remove(QStringLiteral("/seq/run=1.qds"));
  }
  std::string ini = testing::ReadText(dir.File("painter.ini"));
  EXPECT_NE(ini.find("[Recent%20File%20List]"), std::string::npos) << ini;
  EXPECT_NE(ini.find("File1=/seq/jump3.qds"), std::string::npos) << ini;
  EXPECT_EQ(ini.find("File3"), std::string::npos) << ini;

  Settings again(QStringLiteral("painter"), Q(dir.path()));
  RecentFiles reloaded(again);
  EXPECT_EQ(reloaded.files(), (QStringList{"/seq/jump3.qds", "/seq/walk1.qds"}));
  // Another program's profile is another file.
  Settings other(QStringLiteral("scanner"), Q(dir.path()));
  EXPECT_TRUE(RecentFiles(other).files().isEmpty());
  // A hand-edited profile with repeats is read without them.
  testing::WriteText(dir.File("analyzer.ini"),
                     "[Recent%20File%20List]\nFile1=/a/x1.qds\nFile2=/A/X1.qds\nFile3=\n"
                     "File4=/b/y1.qds\nFile5=/c/z1.qds\n");
  Settings edited(QStringLiteral("analyzer"), Q(dir.path()));
  EXPECT_EQ(RecentFiles(edited).files(), (QStringList{"/a/x1.qds", "/b/y1.qds"}));
  // Values round trip, and an unwritable profile says so.
  {
    Settings settings(QStringLiteral("scanner"), Q(dir.File("profile")));
    settings.SetInt(QStringLiteral("Scan"), QStringLiteral("Resolution"), 300);
    settings.SetString(QStringLiteral("Scan"), QStringLiteral("Name"), QStringLiteral("walk"));
    EXPECT_TRUE(settings.Save().ok());
  }
  Settings settings(QStringLiteral("scanner"), Q(dir.File("profile/")));
  EXPECT_EQ(settings.GetInt(QStringLiteral("Scan"), QStringLiteral("Resolution")), 300);
  EXPECT_EQ(settings.GetInt(QStringLiteral("Scan"), QStringLiteral("Name"), 7), 7);
  EXPECT_EQ(settings.GetString(QStringLiteral("Scan"), QStringLiteral("Name")), "walk");
  EXPECT_EQ(settings.GetString(QStringLiteral("Scan"), QStringLiteral("Missing"), "x"), "x");

  // A profile folder that is a file cannot be made.
  testing::WriteText(dir.File("blocked"), "not a folder");
  Settings blocked(QStringLiteral("painter"), Q(dir.File("blocked")));
  blocked.SetInt(QStringLiteral("View"), QStringLiteral("Zoom"), 2);
  Status saved = blocked.Save();
  ASSERT_FALSE(saved.ok());
  EXPECT_EQ(saved.message(),
            "Could not write the settings file: " + dir.File("blocked/painter.ini"));
  EXPECT_EQ(testing::ReadText(dir.File("blocked")), "not a folder");
}

}  // namespace
}  // namespace quenda
