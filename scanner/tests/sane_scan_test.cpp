// The scanner on SANE's own test backend: no hardware, the same library a real scanner uses.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

#include "common/scripted_prompt.h"
#include "scanner/core/scanner_doc.h"
#include "testing/sane_test_backend.h"
#include "twain/sane_device.h"

namespace quenda::scanner {
namespace {

using ::quenda::testing::ListDirectory;
using ::quenda::testing::SaneTestBackend;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

class NoDialogs final : public ScannerDialogs {
 public:
  std::optional<FrameTag> AskNewFrameNumber(const FrameTag&) override { return std::nullopt; }
  std::optional<FrameTag> AskChangeFrameNumber(const FrameTag&) override { return std::nullopt; }
};

// 5 mm from the left, 10 from the top, 25 x 35 mm: whole millimetres, as the backend steps.
constexpr twain::BedFrame kArea{5 / 25.4, 10 / 25.4, 30 / 25.4, 45 / 25.4};
constexpr const char* kScanimageArea = "--mode Gray --resolution 150 -l 5 -t 10 -x 25 -y 35";

// A scanner document on the test backend, failing loudly when the backend does not start.
struct SaneScanTest : ::testing::Test {
  void SetUp() override {
    doc.AttachSession(&session);
    ASSERT_TRUE(session.OpenSourceManager() && !session.sources().empty())
        << "SANE's test backend did not start with SANE_CONFIG_DIR=" << backend.configDir()
        << " (dll.conf naming `test`); libsane1 provides it";
    ASSERT_TRUE(session.CloseDownTo(1));
  }

  bool NewSequence(int peg) {
    return doc.NewSequence(dir.path(), "walk", peg, 150, AfterNewSequence::NoPreview);
  }

  SaneTestBackend backend{{"test-picture \"Grid\""}};
  ::quenda::testing::TempDir dir;
  ScriptedPrompt prompt;
  NoDialogs dialogs;
  MemoryProfile profile;
  CScannerDoc doc{prompt, dialogs, profile};
  twain::SaneDeviceManager sane;
  ScannerSession session{sane, prompt, doc};
};

// The stored picture D, row 0 at the top, from the scanned S by the peg table.
uint8_t Turned(const Raster& s, int peg, int c, int r) {
  const int ws = s.width(), hs = s.height();
  switch (peg) {
    case kPegLeft:
      return *s.At(r, hs - 1 - c);
    case kPegRight:
      return *s.At(ws - 1 - r, c);
    case kPegTop:
      return *s.At(ws - 1 - c, hs - 1 - r);
    default:
      return *s.At(c, r);
  }
}

TEST_F(SaneScanTest, DrawingScanIsWhatScanimageDeliversTurnedByThePegPosition) {
  const Raster scanned = backend.Scanimage("test:0", kScanimageArea);
  ASSERT_EQ(std::tuple(scanned.width(), scanned.height()), std::tuple(147, 206));
  for (int peg : {kPegLeft, kPegRight, kPegBottom, kPegTop}) {
    SCOPED_TRACE(peg);
    std::filesystem::remove(dir.File("walk1.qds"));
    ASSERT_TRUE(NewSequence(peg));
    ASSERT_EQ(doc.ScanFrames(kArea, 1), 1) << ::testing::PrintToString(prompt.Texts());
    auto scan = ReadDrawingScan(dir.File("walk1.qds"), ScanReader::Scanner);
    ASSERT_TRUE(scan.ok()) << scan.message();
    const Raster& stored = scan->scan.picture;
    const bool quarter = peg == kPegLeft || peg == kPegRight;
    ASSERT_EQ(std::tuple(stored.width(), stored.height()),
              quarter ? std::tuple(206, 147) : std::tuple(147, 206));
    int wrong = 0;
    for (int r = 0; r < stored.height(); ++r)
      for (int c = 0; c < stored.width(); ++c)
        wrong += *stored.At(c, stored.height() - 1 - r) != Turned(scanned, peg, c, r);
    EXPECT_EQ(wrong, 0);
    // Placed by the transfer's own resolution, 147 pixels over 25 mm.
    EXPECT_EQ(std::tuple(scan->scan.xPosition, scan->scan.yPosition, scan->scan.dpi),
              std::tuple(29, 59, 150));
  }
  EXPECT_THAT(prompt.Texts(), IsEmpty());
}

// STOP pressed once the first frame is on disk, so it lands inside the second transfer.
class StopAfterFile final : public Progress {
 public:
  explicit StopAfterFile(std::string path) : path_(std::move(path)) {}
  void SetStage(std::string_view) override {}
  void SetPercent(int) override {}
  bool StopRequested() override { return std::filesystem::exists(path_); }

 private:
  std::string path_;
};

TEST_F(SaneScanTest, StopDuringAMultiFrameScanKeepsTheFramesWritten) {
  StopAfterFile stop(dir.File("walk1.qds"));
  doc.SetProgress(&stop);
  ASSERT_TRUE(NewSequence(kPegBottom));
  EXPECT_EQ(doc.ScanFrames(kArea, 3), 1);
  EXPECT_THAT(ListDirectory(dir.path()), ElementsAre("walk1.qds"));
  EXPECT_TRUE(ReadDrawingScan(dir.File("walk1.qds"), ScanReader::Scanner).ok());
  EXPECT_THAT(prompt.Texts(), IsEmpty());
}

}  // namespace
}  // namespace quenda::scanner
