// Scan Background through "Scan Settings": the dialog opens with the scanner's last settings
// (or the background's own when the scanner kept none or kept them garbled), the scan takes the
// resolution, area and mode chosen there, and Cancel scans nothing.
#include <gtest/gtest.h>

#include <QButtonGroup>
#include <QDoubleSpinBox>
#include <QRadioButton>
#include <QSpinBox>
#include <algorithm>
#include <tuple>

#include "common/scripted_prompt.h"
#include "panorama/app/panorama_frame.h"
#include "testing/sane_test_backend.h"
#include "testing/test_support.h"
#include "twain/memory_device.h"
#include "ui/dpi_buttons.h"
#include "ui/scan_settings_dialog.h"
#include "ui/settings.h"
#include "ui/settings_profile.h"
#include "ui/tests/modal_helper.h"

namespace quenda {
namespace {

using namespace testing;

struct Shown {
  int dpi;
  bool wholeBed;
  double edges[4];
  bool color;
};

Shown Read(ScanSettingsDialog* d) {
  return {d->dpiButtons()->dpi(),
          d->wholeBed()->isChecked(),
          {d->edge(0)->value(), d->edge(1)->value(), d->edge(2)->value(), d->edge(3)->value()},
          d->color()->isChecked()};
}

// The background as scanimage sees the bed: rows bottom first, blue, green, red.
Raster AsBackground(const Raster& scanned) {
  Raster turned(scanned.width(), scanned.height(), 3);
  for (int y = 0; y < scanned.height(); ++y)
    for (int x = 0; x < scanned.width(); ++x) {
      const uint8_t* from = scanned.At(x, y);
      uint8_t* to = turned.At(x, scanned.height() - 1 - y);
      if (scanned.channels() == 3)
        std::reverse_copy(from, from + 3, to);
      else
        std::fill_n(to, 3, from[0]);
    }
  return turned;
}

struct ScanWindow {
  ScanWindow() : settings(QStringLiteral("panorama"), QString::fromStdString(dir.path())) {}
  // The scanner's profile beside the program's own, as the scanner leaves it.
  Settings ScannerProfile() {
    return Settings(QStringLiteral("scanner"), QString::fromStdString(dir.path()));
  }

  TempDir dir;
  ScriptedPrompt prompt;
  Settings settings;
};

// Without a scanner profile the dialog offers the whole bed in colour at 150 dpi, and Scan
// takes over that scan pixel for pixel, wholly opaque.
TEST(PanoramaScan, WithoutTheScannersSettingsScansTheWholeBedInColour) {
  SaneTestBackend backend({"test-picture \"Color pattern\""});
  ScanWindow w;
  CPanoramaFrame frame(&w.prompt, &w.settings);
  WhenModal<ScanSettingsDialog>([](ScanSettingsDialog* d) {
    const Shown shown = Read(d);
    EXPECT_EQ(std::tuple(shown.dpi, shown.wholeBed, shown.color), std::tuple(150, true, true));
    EXPECT_FALSE(d->edge(0)->isEnabled());
    d->accept();
  });
  frame.Action("actionScanBackground")->trigger();
  const CPanoramaDoc& doc = frame.document();
  ASSERT_TRUE(doc.loaded()) << ::testing::PrintToString(w.prompt.Texts());
  const Raster expected = backend.Scanimage(
      "test:0", "--mode Color --resolution 150 -l 0 -t 0 -x 200 -y 200");  // the whole bed
  ASSERT_EQ(expected.channels(), 3);
  EXPECT_EQ(std::tuple(doc.image(), doc.mask(), doc.modified()),
            std::tuple(AsBackground(expected), Raster(expected.width(), expected.height(), 1, 255),
                       true));
}

// The scanner kept 100 dpi and an area; the user keeps the area, picks 72 dpi and grey. The
// scan is what scanimage gives for those, and the choice is kept for the next scan.
TEST(PanoramaScan, OffersTheScannersLastSettingsAndScansWhatIsChosen) {
  SaneTestBackend backend({"test-picture \"Color pattern\""});
  ScanWindow w;
  {
    Settings scanner = w.ScannerProfile();
    SettingsProfile profile(scanner);
    ASSERT_TRUE(twain::SaveScanDpi(profile, 100).ok());
    ASSERT_TRUE(twain::SaveScanArea(profile, twain::BedFrame{0.5, 0.25, 2.5, 1.75}).ok());
  }
  CPanoramaFrame frame(&w.prompt, &w.settings);
  WhenModal<ScanSettingsDialog>([](ScanSettingsDialog* d) {
    const Shown shown = Read(d);
    EXPECT_EQ(std::tuple(shown.dpi, shown.wholeBed, shown.edges[0], shown.edges[1], shown.edges[2],
                         shown.edges[3], shown.color),
              std::tuple(100, false, 0.5, 0.25, 2.5, 1.75, true));
    EXPECT_TRUE(d->dpiButtons()->group()->button(1)->isChecked());  // "100"
    EXPECT_TRUE(d->edge(3)->isEnabled());
    d->dpiButtons()->group()->button(0)->click();  // "72"
    d->gray()->click();
    d->accept();
  });
  frame.Action("actionScanBackground")->trigger();
  const CPanoramaDoc& doc = frame.document();
  ASSERT_TRUE(doc.loaded()) << ::testing::PrintToString(w.prompt.Texts());
  // Millimetres from the bed's top-left corner: 0.5 in = 12.7 mm, 2 x 1.5 in = 50.8 x 38.1 mm.
  const Raster expected =
      backend.Scanimage("test:0", "--mode Gray --resolution 72 -l 12.7 -t 6.35 -x 50.8 -y 38.1");
  ASSERT_EQ(expected.channels(), 1);
  // 2 x 1.5 inches at 72 dpi, as the backend rounds millimetres.
  EXPECT_NEAR(expected.width(), 144, 1);
  EXPECT_NEAR(expected.height(), 108, 1);
  EXPECT_EQ(doc.image(), AsBackground(expected));

  Settings scanner = w.ScannerProfile();
  SettingsProfile profile(scanner);
  EXPECT_EQ(
      twain::LoadScanSettings(profile, {}),
      (twain::ScanSettings{72, twain::BedFrame{0.5, 0.25, 2.5, 1.75}, twain::PixelType::Gray}));
  EXPECT_EQ(w.prompt.unexpected(), 0);
}

// A garbled scanner profile offers the background's own settings; an empty area is refused
// with its message and the dialog stays; Cancel then scans nothing and keeps nothing.
TEST(PanoramaScan, GarbledSettingsGiveTheDefaultsAndCancelScansNothing) {
  ScanWindow w;
  WriteText(w.dir.File("scanner.ini"),
            "\x01\xff garbage\n[SCAN_SETTINGS]\ndpi=12x\nArea_Left=a\nArea_Top=0\nArea_Right=5\n"
            "Pixel_Type=9\n");
  twain::MemoryScanner scanner;
  twain::MemoryDeviceManager devices(scanner);
  CPanoramaFrame frame(&w.prompt, &w.settings, &devices);
  WhenModal<ScanSettingsDialog>([](ScanSettingsDialog* d) {
    const Shown shown = Read(d);
    EXPECT_EQ(std::tuple(shown.dpi, shown.wholeBed, shown.color), std::tuple(150, true, true));
    d->chosenArea()->click();
    d->edge(2)->setValue(0);  // right at the left edge
    d->accept();
    EXPECT_TRUE(d->isVisible());
    d->reject();
  });
  frame.Action("actionScanBackground")->trigger();
  EXPECT_EQ(w.prompt.Texts(),
            std::vector<std::string>{
                "The scan area is empty: its right edge must lie right of its left edge, and its "
                "bottom below its top."});
  EXPECT_EQ(std::tuple(frame.document().loaded(), scanner.opens), std::tuple(false, 0));
  EXPECT_EQ(ReadText(w.dir.File("scanner.ini")).find("dpi=150"), std::string::npos);
}

}  // namespace
}  // namespace quenda
