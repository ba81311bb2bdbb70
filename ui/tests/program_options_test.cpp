// --help and --version of every windowed program: printed, exit 0, and no window even where
// no display could be opened.
#include <gtest/gtest.h>

#include <QProcess>

namespace quenda {
namespace {

TEST(ProgramOptions, EveryProgramPrintsHelpAndVersionWithoutAWindow) {
  QProcessEnvironment headless = QProcessEnvironment::systemEnvironment();
  headless.remove(QStringLiteral("DISPLAY"));
  headless.remove(QStringLiteral("WAYLAND_DISPLAY"));
  headless.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));  // fails if used
  const struct {
    const char* path;
    const char* usage;
  } programs[] = {
      {QUENDA_ANALYZER, "usage: quenda-analyzer [DRAWING.qds]\n"},
      {QUENDA_PAINTER, "usage: quenda-painter [DRAWING.qds]\n"},
      {QUENDA_DOPEGRID, "usage: quenda-dopegrid [SHEET.dgr]\n"},
      {QUENDA_COMPOSER, "usage: quenda-composer [MOVIE.cmp]\n"},
      {QUENDA_PANORAMA, "usage: quenda-panorama [BACKGROUND.tga]\n"},
      {QUENDA_PLAYER, "usage: quenda-player MOVIE.avi|.mp4|.mov\n"},
      {QUENDA_SCANNER, "usage: quenda-scanner [DRAWING.qds]\n"},
  };
  for (const auto& p : programs) {
    const QString name = QString::fromUtf8(p.usage).section(QLatin1Char(' '), 1, 1);
    for (const char* option : {"--help", "--version"}) {
      QProcess run;
      run.setProcessEnvironment(headless);
      run.start(QString::fromUtf8(p.path), {QString::fromLatin1(option)});
      ASSERT_TRUE(run.waitForFinished(20000)) << p.path;
      const QString out = QString::fromUtf8(run.readAllStandardOutput());
      EXPECT_EQ(run.exitStatus(), QProcess::NormalExit) << p.path << option;
      EXPECT_EQ(run.exitCode(), 0) << p.path << option;
      EXPECT_EQ(run.readAllStandardError(), QByteArray()) << p.path << option;
      if (QLatin1String(option) == QLatin1String("--help"))
        EXPECT_TRUE(out.startsWith(QString::fromUtf8(p.usage))) << out.toStdString();
      else
        EXPECT_EQ(out, name + QStringLiteral(" " QUENDA_VERSION_TEXT "\n"));
    }
  }
}

}  // namespace
}  // namespace quenda
