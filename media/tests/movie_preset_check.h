#pragma once
// The Export Movie preset check both windows share: the H.264 preset chosen reaches the encoder,
// is offered again and stays in the program's settings for the next session; ProRes takes no
// preset, quality or background, as it keeps the alpha.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <functional>
#include <initializer_list>
#include <string>

#include "media/movie_export_dialog.h"
#include "testing/test_support.h"
#include "ui/settings.h"
#include "ui/tests/modal_helper.h"

namespace quenda::testing {

struct PresetCase {
  QString preset;          // chosen in the dialog
  std::string streamMark;  // what x264 writes into the stream for it
  QString program;         // whose settings remember it
  std::string settingsDir;
  std::string movie;
};

// `exportMovie` triggers the window's command; `prepare` sets what the window needs besides.
inline void ExpectPresetUsedAndRemembered(const PresetCase& c,
                                          const std::function<void()>& exportMovie,
                                          const std::function<void(MovieExportDialog*)>& prepare) {
  int shown = 0;
  WhenModal<MovieExportDialog>([&](MovieExportDialog* d) {
    ++shown;
    EXPECT_EQ(d->presetField()->currentText(), QStringLiteral("veryfast"));
    for (int codec : {1, 0}) {
      d->codecField()->setCurrentIndex(codec);
      for (QWidget* field : std::initializer_list<QWidget*>{d->presetField(), d->qualityField(),
                                                            d->backgroundButton()})
        EXPECT_EQ(field->isEnabled(), codec == 0) << codec;
    }
    d->presetField()->setCurrentText(c.preset);
    d->findChild<QSpinBox*>(QStringLiteral("toFrame"))->setValue(2);
    if (prepare) prepare(d);
    QTest::mouseClick(d->exportButton(), Qt::LeftButton);
  });
  exportMovie();
  WhenModal<MovieExportDialog>([&](MovieExportDialog* d) {
    ++shown;
    EXPECT_EQ(d->presetField()->currentText(), c.preset);
    d->reject();
  });
  exportMovie();
  ASSERT_EQ(shown, 2);
  const std::vector<uint8_t> bytes = ReadBytes(c.movie);
  const std::string text(bytes.begin(), bytes.end());
  EXPECT_NE(text.find(c.streamMark), std::string::npos) << c.streamMark;
  Settings again(c.program, QString::fromStdString(c.settingsDir));
  EXPECT_EQ(again.GetString(QStringLiteral("Movie"), QStringLiteral("preset")), c.preset);
}

}  // namespace quenda::testing
