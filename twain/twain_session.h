#pragma once
// The acquisition session: the scanner protocol's states 1 to 7, its operations and its
// condition-code messages, over the scan-device layer (scan_device.h).
//
//   1 nothing loaded        (ScanDeviceManager::Init not called)
//   2 source manager loaded (the scanner library is initialised)
//   3 source manager open   (the list of sources is known)
//   4 source open           (one device is open)
//   5 source enabled        (a scan may start)
//   6 transfer ready        (the device began an image)
//   7 transferring          (an image was transferred or cancelled, not yet ended)
//
// Every move between states goes through two wrappers, the manager call and the source call,
// which store the return code and move the state only as the protocol says. There is no window
// message loop here: ProcessEvent asks the enabled source for its next event (a scan starting
// or failing), and DeliverEvents runs them all, so a caller sees the same notifications in the
// same order as one fed by window messages.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "common/progress.h"
#include "common/prompt.h"
#include "common/result.h"
#include "twain/device_bitmap.h"
#include "twain/scan_device.h"

namespace quenda::twain {

// Return codes of the protocol.
inline constexpr uint16_t kRcSuccess = 0;
inline constexpr uint16_t kRcFailure = 1;
inline constexpr uint16_t kRcCheckStatus = 2;
inline constexpr uint16_t kRcCancel = 3;
inline constexpr uint16_t kRcDsEvent = 4;
inline constexpr uint16_t kRcNotDsEvent = 5;
inline constexpr uint16_t kRcXferDone = 6;

// Source messages carried by an event.
inline constexpr uint16_t kMsgNull = 0;
inline constexpr uint16_t kMsgXferReady = 0x101;
inline constexpr uint16_t kMsgCloseDsReq = 0x102;

// Capabilities the session negotiates.
inline constexpr uint16_t kCapPixelType = 0x0101;
inline constexpr uint16_t kCapPhysicalWidth = 0x1111;
inline constexpr uint16_t kCapPhysicalHeight = 0x1112;
inline constexpr uint16_t kCapXResolution = 0x1118;
inline constexpr uint16_t kCapYResolution = 0x1119;
inline constexpr int kPixelTypeGray = 1;
inline constexpr int kPixelTypeRgb = 2;

// Condition codes the device layer's statuses become.
inline constexpr int kCcSuccess = 0;
inline constexpr int kCcBummer = 1;
inline constexpr int kCcLowMemory = 2;
inline constexpr int kCcNoDs = 3;
inline constexpr int kCcMaxConnections = 4;
inline constexpr int kCcOperationError = 5;
inline constexpr int kCcBadCap = 6;
inline constexpr int kCcBadValue = 10;
inline constexpr int kCcSeqError = 11;
inline constexpr int kCcCapUnsupported = 13;

// Which step failed, for the failure notification.
enum class SessionFailure { SourceManager = 0, Source = 1, Enable = 2 };

// Who the application is to the source manager.
struct AppIdentity {
  int protocolMajor = 1;
  int protocolMinor = 6;
  int supportedGroups = 3;  // control and image
  int versionMajor = 1;
  int versionMinor = 0;
  std::string versionInfo = "1.0";
  int language = 2;
  int country = 90;
  std::string manufacturer = "Tessarine";
  std::string productFamily = "Quenda Animation Painting System";
  std::string productName = "Quenda Scanner Module";
};

// "Condition Code: " and the code's entry; "error no out of range" outside 0..15.
std::string ConditionText(int conditionCode);
// The condition code a device status stands for.
int ConditionCodeOf(DeviceStatus status);

// Inches to the protocol's 32-bit fixed point (rounded to nearest) and back.
int32_t ToFix32(double value);
double FromFix32(int32_t fixed);
// A fraction of 0.5 or more adds one to the whole part.
int RoundHalfUp(double value);

class TwainSession {
 public:
  TwainSession(ScanDeviceManager& manager, Prompt& prompt);
  virtual ~TwainSession();
  TwainSession(const TwainSession&) = delete;
  TwainSession& operator=(const TwainSession&) = delete;

  int state() const { return state_; }
  uint16_t lastReturnCode() const { return lastReturnCode_; }
  const AppIdentity& appIdentity() const { return appIdentity_; }
  void SetAppIdentity(AppIdentity identity) { appIdentity_ = std::move(identity); }

  // STOP is read between the blocks of a transfer; without one nothing stops it.
  void SetProgress(Progress* progress) { progress_ = progress; }
  // The source OpenSource opens; empty means the first the manager lists.
  void SetDefaultSource(std::string name) { defaultSource_ = std::move(name); }
  const std::string& defaultSource() const { return defaultSource_; }
  // The sources listed when the manager was opened.
  const std::vector<DeviceInfo>& sources() const { return sources_; }

  // Start-up of the owning window: opens the source manager when scanning is available.
  void StartUp();

  bool IsTwainAvailable();
  bool LoadSourceManager();
  bool OpenSourceManager();
  bool OpenSource();
  bool EnableSource();
  bool DisableSource();
  bool CloseSource();
  bool CloseSourceManager();
  bool UnloadSourceManager();
  bool EndTransfer();
  bool ResetTransfers();
  bool CloseDownTo(int target);
  // Lets the user pick the default source (a choice of the listed sources' names).
  bool SelectSource();
  bool SetCapability(uint16_t capability, int value);
  // Left, top, width and height in inches.
  bool SetScanArea(double left, double top, double width, double height);
  bool GetCapabilityOneValue(uint16_t capability, double& value);
  // One event of the enabled source; true when the source consumed it.
  bool ProcessEvent();
  // In state 5, asks the source for one more image, as the Scan button of a source's own
  // window does; the next ProcessEvent starts it.
  bool RequestScan();
  // Events until the source has none left (the scan it was enabled for has been delivered).
  void DeliverEvents();

  // The acquisition sequence; right or bottom of -1.0 mean the far edge of the bed. Reaches
  // state 5 on success; DeliverEvents then brings the image.
  bool Acquire(double left, double top, double right, double bottom, int dpi,
               PixelType type = PixelType::Gray);

  // The status report: the condition text of the source's last condition, or "Could not get
  // error status" when the source cannot say.
  std::string StatusReport();

  // The bed's size as last reported, less 0.001; a message before it is known.
  Result<double> BedWidth() const;
  Result<double> BedHeight() const;

  int transferX() const { return transferX_; }
  int transferY() const { return transferY_; }
  int transferWidth() const { return transferWidth_; }
  int transferHeight() const { return transferHeight_; }

 protected:
  // The notifications, in the protocol's order. The defaults are the base behaviour.
  virtual void OnTransferReady() { TransferImages(); }
  virtual void OnCloseRequest() { CloseSource(); }
  virtual void OnImage(DeviceBitmap bitmap) { (void)bitmap; }
  virtual void OnStateChanged(int newState) { (void)newState; }
  virtual void OnFailure(SessionFailure failure) { (void)failure; }

  // The base transfer loop, and the one that first reads the image's information and layout
  // to place the image on the bed (transferX ...).
  void TransferImages();
  void TransferImagesWithInfo();

  // What Acquire sets on the open source before enabling it: the bed's size is read, then the
  // mode, the resolution and the area (-1.0 right or bottom for the far edge) are set. False,
  // the failure shown, when the source refuses one.
  bool SetUpScan(const BedFrame& area, int dpi, PixelType type);

  // The image calls of a transfer, for sessions that run their own loop.
  uint16_t CallImageInfo(ImageInfo& info);
  uint16_t CallImageLayout(BedFrame& frame);
  uint16_t CallNativeTransfer(DeviceBitmap& bitmap);

  Prompt& prompt() { return prompt_; }

 private:
  enum class Op {
    OpenDsm,
    CloseDsm,
    OpenDs,
    CloseDs,
    GetDefault,
    UserSelect,
    EnableDs,
    DisableDs,
    ProcessEvent,
    ImageNativeXfer,
    EndXfer,
    ResetXfers,
    SetCapability,
    GetCapability,
    SetLayout,
    GetLayout,
    GetImageInfo,
    GetStatus,
  };
  struct CallData {
    uint16_t capability = 0;
    int intValue = 0;
    double value = 0;
    BedFrame frame;
    ImageInfo info;
    uint16_t message = kMsgNull;
    DeviceBitmap bitmap;
    int condition = 0;
  };

  uint16_t ManagerCall(Op op, CallData& data);
  uint16_t SourceCall(Op op, CallData& data);
  uint16_t Perform(Op op, CallData& data);
  uint16_t Fail(DeviceStatus status);
  uint16_t NativeTransfer(DeviceBitmap& bitmap);
  void SetState(int state);
  void Report(std::string_view text);

  ScanDeviceManager& manager_;
  Prompt& prompt_;
  Progress* progress_ = nullptr;
  AppIdentity appIdentity_;
  enum class Availability { Untested, Available, Unavailable };
  Availability availability_ = Availability::Untested;
  bool entryHeld_ = false;  // the library is loaded
  int state_ = 1;
  int savedState_ = 1;
  uint16_t lastReturnCode_ = kRcSuccess;
  int condition_ = kCcSuccess;
  std::vector<DeviceInfo> sources_;
  std::string defaultSource_;
  std::string sourceIdentity_;  // the open source's name; empty before opening
  std::unique_ptr<ScanDevice> device_;
  bool scanPending_ = false;  // enabled, and the scan not yet started
  int pendingTransfers_ = 0;
  double bedWidth_ = -1;
  double bedHeight_ = -1;
  int transferX_ = 0;
  int transferY_ = 0;
  int transferWidth_ = 0;
  int transferHeight_ = 0;
};

}  // namespace quenda::twain
