#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "common/drawing_scan.h"
#include "common/scripted_prompt.h"
#include "testing/test_support.h"
#include "twain/memory_device.h"
#include "twain/picture_scan.h"

namespace quenda::twain {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;
using namespace std::string_literals;

// Records every state reached, failure notified and image received.
class RecordingSession : public TwainSession {
 public:
  using TwainSession::TwainSession;
  std::vector<int> states;
  std::vector<SessionFailure> failures;
  std::vector<DeviceBitmap> images;
  bool holdTransfers = false;  // stay in state 6 so a test can walk the transfer itself

  uint16_t TransferWithoutEnding() {
    DeviceBitmap bitmap;
    return CallNativeTransfer(bitmap);
  }

 protected:
  void OnTransferReady() override {
    if (!holdTransfers) TransferImagesWithInfo();
  }
  void OnImage(DeviceBitmap bitmap) override { images.push_back(std::move(bitmap)); }
  void OnStateChanged(int state) override { states.push_back(state); }
  void OnFailure(SessionFailure failure) override { failures.push_back(failure); }
};

struct SessionTest : ::testing::Test {
  MemoryScanner scanner;
  MemoryDeviceManager manager{scanner};
  ScriptedPrompt prompt;
  RecordingSession session{manager, prompt};
};

TEST_F(SessionTest, AcquireClimbsToFiveTransfersThroughSixAndSevenAndClosesDownInOrder) {
  ASSERT_TRUE(session.Acquire(1.0, 0.5, 3.0, 2.0, 300));
  EXPECT_THAT(session.states, ElementsAre(2, 3, 4, 5));
  session.DeliverEvents();
  EXPECT_THAT(session.states, ElementsAre(2, 3, 4, 5, 6, 7, 5));
  ASSERT_EQ(session.images.size(), 1u);
  // Frame left 1.0 inch and right 3.0 over 600 pixels: 300 pixels an inch.
  EXPECT_EQ(std::tuple(session.transferX(), session.transferY(), session.transferWidth(),
                       session.transferHeight()),
            std::tuple(300, 150, 600, 450));
  EXPECT_THAT(prompt.Texts(), IsEmpty());

  session.states.clear();
  ASSERT_TRUE(session.CloseDownTo(1));
  EXPECT_THAT(session.states, ElementsAre(4, 3, 2, 1));
  EXPECT_EQ(std::tuple(scanner.inits, scanner.exits, scanner.closes), std::tuple(1, 1, 1));
}

TEST_F(SessionTest, EveryAcquireStartsFromAFreshSession) {
  ASSERT_TRUE(session.Acquire(0, 0, -1.0, -1.0, 20));
  ASSERT_TRUE(session.Acquire(0, 0, -1.0, -1.0, 20));
  EXPECT_THAT(session.states, ElementsAre(2, 3, 4, 5, 4, 3, 2, 1, 2, 3, 4, 5));
}

TEST_F(SessionTest, CloseDownToStepsDownOneStateAtATimeFromTransferring) {
  session.holdTransfers = true;
  ASSERT_TRUE(session.Acquire(0, 0, 1.0, 1.0, 10));
  EXPECT_TRUE(session.ProcessEvent());
  EXPECT_EQ(session.state(), 6);
  EXPECT_EQ(session.TransferWithoutEnding(), kRcXferDone);
  EXPECT_EQ(session.state(), 7);
  session.states.clear();
  ASSERT_TRUE(session.CloseDownTo(1));
  EXPECT_THAT(session.states, ElementsAre(5, 4, 3, 2, 1));
  // Operations that do not belong to the state do nothing.
  EXPECT_EQ(std::tuple(session.OpenSource(), session.EnableSource(),
                       session.SetCapability(kCapXResolution, 100), session.state()),
            std::tuple(false, false, false, 1));
}

TEST_F(SessionTest, WholeBedScansTheBedAsTheSourceReportsIt) {
  // Asked before any acquire, the bed size is an internal error.
  EXPECT_EQ(session.BedWidth().message(), "Internal Error : Flatbed width not initialized!");
  EXPECT_EQ(session.BedHeight().message(), "Internal Error : Flatbed height not initialized!");
  scanner.bedHeight = 11.69;
  ASSERT_TRUE(session.Acquire(0, 0, -1.0, -1.0, 10));
  session.DeliverEvents();
  ASSERT_EQ(session.images.size(), 1u);
  EXPECT_EQ(std::pair(session.images[0].width, session.images[0].height), std::pair(85, 117));
  EXPECT_NEAR(session.BedHeight().value(), 11.689, 1e-4);
  EXPECT_NEAR(session.BedWidth().value(), 8.499, 1e-4);
}

TEST(ConditionText, WordsEveryCode) {
  const std::vector<std::pair<int, std::string>> cases{
      {0, "Condition Code: It worked!"},
      {1, "Condition Code: Failure due to unknown causes"},
      {2, "Condition Code: Not enough memory to perform operation"},
      {3, "Condition Code: No Data Source"},
      {4, "Condition Code: DS is connected to max possible apps"},
      {5, "Condition Code: DS or DSM reported error, app shouldn't"},
      {6, "Condition Code: Unknown capability"},
      {7, "Condition Code: "},
      {8, "Condition Code: "},
      {9, "Condition Code: Unrecognized MSG DG DAT combination"},
      {10, "Condition Code: Data parameter out of range"},
      {11, "Condition Code: DG DAT MSG out of expected sequence"},
      {12, "Condition Code: Unknown destination App/Src in DSM_Entry"},
      {13, "Condition Code: Capability not supported by source"},
      {14, "Condition Code: Operation not supported by capability"},
      {15, "Condition Code: Capability has dependancy on other capability"},
      {16, "error no out of range"},
      {-1, "error no out of range"},
  };
  for (const auto& [code, text] : cases) EXPECT_EQ(ConditionText(code), text) << code;
}

TEST(FixedPoint, RoundsToNearestAndSplitsWholeAndFraction) {
  EXPECT_EQ(std::tuple(ToFix32(1.5), ToFix32(-0.25), FromFix32(0x18000), FromFix32(-16384),
                       RoundHalfUp(149.5), RoundHalfUp(149.49)),
            std::tuple(0x18000, -16384, 1.5, -0.25, 150, 149));
}

// A device call that fails, where the session ends, the failure notified and what Acquire and
// the transfer then say, a line each.
struct FailureCase {
  DeviceCall call;
  DeviceStatus status;
  int finalState;
  std::vector<SessionFailure> failures;
  std::string messages;
};

TEST_F(SessionTest, FailuresGiveTheirMessagesAndLeaveTheStateTheyReached) {
  const std::string opError = "Condition Code: DS or DSM reported error, app shouldn't\n";
  const std::string range = "\nCondition Code: Data parameter out of range\n";
  using enum DeviceCall;
  using enum DeviceStatus;
  const std::vector<FailureCase> cases{
      {Init, IoError, 1, {SessionFailure::SourceManager}, ""},
      {List, NoMemory, 1, {SessionFailure::SourceManager}, ""},
      {Open, DeviceBusy, 1, {SessionFailure::Source}, ""},
      {BedSize,
       Unsupported,
       4,
       {},
       "Could not get physical height of scanner!\n"
       "Condition Code: Capability not supported by source\n"},
      {PixelType, Invalid, 4, {}, "Could not set gray scan" + range},
      {Resolution, Invalid, 4, {}, "Could not set x resolution to requested dpi" + range},
      {SetFrame,
       NoMemory,
       4,
       {},
       "Could not transfer layout\nCondition Code: Not enough memory to perform operation\n"},
      // The scan cannot start: the source says why and asks to be closed.
      {Start, Jammed, 3, {}, opError},
      {Start, Cancelled, 3, {}, ""},
      {Read, IoError, 5, {}, opError},
  };
  for (const FailureCase& c : cases) {
    MemoryScanner failing;
    failing.failures[c.call] = c.status;
    MemoryDeviceManager failingManager(failing);
    ScriptedPrompt shown;
    RecordingSession s(failingManager, shown);
    if (s.Acquire(0, 0, 1.0, 1.0, 30)) s.DeliverEvents();
    SCOPED_TRACE(int(c.call));
    std::string said;
    for (const std::string& text : shown.Texts()) said += text + "\n";
    EXPECT_EQ(said, c.messages);
    EXPECT_THAT(s.failures, ElementsAreArray(c.failures));
    EXPECT_EQ(s.state(), c.finalState);
    EXPECT_THAT(s.images, IsEmpty());
  }
}

TEST_F(SessionTest, StopDuringTheTransferCancelsItWithoutImageOrMessage) {
  ScriptedProgress stop(3);  // STOP after three blocks
  session.SetProgress(&stop);
  scanner.readBlock = 100;
  ASSERT_TRUE(session.Acquire(0, 0, 2.0, 2.0, 50));
  session.DeliverEvents();
  EXPECT_THAT(session.images, IsEmpty());
  EXPECT_THAT(session.states, ElementsAre(2, 3, 4, 5, 6, 7, 5));
  EXPECT_THAT(prompt.Texts(), IsEmpty());
  EXPECT_GE(scanner.cancels, 1);
}

TEST_F(SessionTest, SelectSourceMakesTheChoiceTheDefaultAndReturnsToItsState) {
  scanner.devices.push_back({"memory:1", "Quenda", "second bed", "flatbed scanner"});
  prompt.QueueChoice(1);
  EXPECT_TRUE(session.SelectSource());
  EXPECT_EQ(std::pair(session.defaultSource(), session.state()), std::pair("memory:1"s, 1));
  prompt.QueueChoice(std::nullopt);
  EXPECT_FALSE(session.SelectSource());
  EXPECT_EQ(session.defaultSource(), "memory:1");
  // A default source that is not there fails to open.
  session.SetDefaultSource("nowhere:0");
  EXPECT_FALSE(session.Acquire(0, 0, 1.0, 1.0, 30));
  EXPECT_THAT(session.failures, ElementsAre(SessionFailure::Source));
  EXPECT_EQ(session.state(), 1);
}

struct AnalyzerScanTest : SessionTest {
  ::quenda::testing::TempDir dir;
  AnalyzerScanMode mode{manager, prompt};
  const ScanSettings wholeBed{72, std::nullopt, PixelType::Gray};
};

TEST_F(AnalyzerScanTest, WritesEachImageTurnedAndNumberedFromOne) {
  prompt.QueueChoice(0);
  ASSERT_TRUE(mode.Enter(dir.path(), "pan", kPegLeft, wholeBed));
  EXPECT_EQ(mode.state(), 5);
  ASSERT_TRUE(mode.ScanOne());
  ASSERT_TRUE(mode.ScanOne());
  mode.Leave();
  EXPECT_EQ(mode.state(), 1);
  EXPECT_THAT(::quenda::testing::ListDirectory(dir.path()), ElementsAre("pan1.qds", "pan2.qds"));
  auto scan = ReadDrawingScan(dir.File("pan1.qds"), ScanReader::Analyzer);
  ASSERT_TRUE(scan.ok()) << scan.message();
  // The whole bed at 72 dpi: 612 x 842, a quarter turn makes it 842 wide.
  EXPECT_EQ(std::tuple(scan->scan.picture.width(), scan->scan.picture.height(), scan->scan.dpi),
            std::tuple(842, 612, 72));
  // Turned a quarter clockwise, the scan's bottom-right corner comes to the bottom left.
  EXPECT_EQ(scan->scan.picture.At(0, 0)[0], scanner.picture(611, 841, 0));
  EXPECT_THAT(prompt.Texts(), ::testing::Contains(::testing::HasSubstr("Sources:")));
}

TEST_F(AnalyzerScanTest, ADrawingWrittenUnderTheNextNumberMeanwhileIsNeverWrittenOver) {
  prompt.QueueChoice(0);
  ASSERT_TRUE(mode.Enter(dir.path(), "pan", kPegLeft, wholeBed));
  ASSERT_TRUE(mode.ScanOne());
  // Another program's drawings under the numbers that come next, one of them in capitals.
  const DrawingScan theirs{100, kPegBottom, 0, 0, Raster(3, 2, 1, 200)};
  ASSERT_TRUE(WriteDrawingScan(dir.File("pan2.qds"), theirs, ScanWriter::Scanner).ok());
  ASSERT_TRUE(WriteDrawingScan(dir.File("PAN3.QDS"), theirs, ScanWriter::Scanner).ok());
  const std::vector<uint8_t> before = ::quenda::testing::ReadBytes(dir.File("pan2.qds"));
  ASSERT_TRUE(mode.ScanOne());
  mode.Leave();
  EXPECT_EQ(mode.lastWritten(), dir.File("pan4.qds"));
  EXPECT_EQ(mode.counter(), 5);
  EXPECT_EQ(::quenda::testing::ReadBytes(dir.File("pan2.qds")), before);
  EXPECT_THAT(::quenda::testing::ListDirectory(dir.path()),
              ElementsAre("PAN3.QDS", "pan1.qds", "pan2.qds", "pan4.qds"));
}

TEST_F(AnalyzerScanTest, ScansTheChosenAreaAtTheChosenResolutionAndMode) {
  // Colour, for once: the drawing is still the mean of the three.
  scanner.picture = [](int x, int, int channel) { return uint8_t(channel == 0 ? 90 : x); };
  prompt.QueueChoice(0);
  ASSERT_TRUE(mode.Enter(dir.path(), "pan", kPegBottom,
                         {100, BedFrame{1.0, 0.5, 3.0, 1.5}, PixelType::Color}));
  ASSERT_TRUE(mode.ScanOne());
  auto scan = ReadDrawingScan(dir.File("pan1.qds"), ScanReader::Analyzer);
  ASSERT_TRUE(scan.ok()) << scan.message();
  EXPECT_EQ(std::tuple(scan->scan.picture.width(), scan->scan.picture.height(), scan->scan.dpi,
                       scan->scan.xPosition, scan->scan.yPosition),
            std::tuple(200, 100, 100, 100, 50));
  // Bed column 100 at the area's left edge: (90 + 100 + 100) / 3.
  EXPECT_EQ(scan->scan.picture.At(0, 0)[0], 96);
}

TEST_F(AnalyzerScanTest, ASettingTheSourceRefusesEndsTheModeBeforeAnyScan) {
  scanner.failures[DeviceCall::Resolution] = DeviceStatus::Invalid;
  prompt.QueueChoice(0);
  EXPECT_FALSE(mode.Enter(dir.path(), "pan", kPegBottom, wholeBed));
  EXPECT_THAT(prompt.Texts(),
              ::testing::IsSupersetOf({"Could not set x resolution to requested dpi"s,
                                       "Condition Code: Data parameter out of range"s}));
  EXPECT_EQ(std::tuple(mode.state(), mode.active()), std::tuple(1, false));
}

TEST_F(AnalyzerScanTest, CancelledSelectionEndsQuietlyAndAFailedImageEndsTheMode) {
  prompt.QueueChoice(std::nullopt);
  EXPECT_FALSE(mode.Enter(dir.path(), "pan", kPegBottom, wholeBed));
  EXPECT_EQ(std::tuple(prompt.Texts().size(), mode.state()), std::tuple(1u, 1));  // only the choice

  prompt.Clear();
  prompt.QueueChoice(0);
  ASSERT_TRUE(mode.Enter(dir.path(), "pan", kPegBottom, wholeBed));
  scanner.failures[DeviceCall::ImageInfo] = DeviceStatus::IoError;
  EXPECT_FALSE(mode.ScanOne());
  EXPECT_EQ(prompt.Texts().back(), "Error Getting Image data");
  EXPECT_EQ(mode.state(), 1);
  EXPECT_THAT(::quenda::testing::ListDirectory(dir.path()), IsEmpty());
}

TEST(AnalyzerScanSelection, ChecksInOrder) {
  EXPECT_EQ(CheckAnalyzerScanSelection("", "").message(), "You must select an output directory");
  EXPECT_EQ(CheckAnalyzerScanSelection("/d/", "").message(), "You must give a valid header");
  EXPECT_EQ(CheckAnalyzerScanSelection("/d/", "a1").message(),
            "Only Letters are allowed for the sequence name!,Sorry.");
  EXPECT_TRUE(CheckAnalyzerScanSelection("/d/", "header").ok());
}

}  // namespace
}  // namespace quenda::twain
