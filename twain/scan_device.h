#pragma once
// The scan-device layer under the acquisition session: a manager that lists and opens scanners
// and the scanner it opened. SANE drives real scanners (sane_device.h); an in-memory device
// stands in for tests (memory_device.h). The session (twain_session.h) keeps its states and
// messages above this layer, whichever device answers.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace quenda::twain {

// What a device call answered. The values are SANE's own status codes, so the SANE layer
// passes them through unchanged; the session words them as condition codes.
enum class DeviceStatus {
  Good = 0,
  Unsupported = 1,
  Cancelled = 2,
  DeviceBusy = 3,
  Invalid = 4,
  EndOfData = 5,
  Jammed = 6,
  NoDocuments = 7,
  CoverOpen = 8,
  IoError = 9,
  NoMemory = 10,
  AccessDenied = 11,
};

enum class PixelType { Gray, Color };

struct DeviceInfo {
  std::string name;  // what Open takes
  std::string vendor;
  std::string model;
  std::string type;
};

// A rectangle on the scanner bed in inches, in the scanner's own axes (y down from the top).
struct BedFrame {
  double left = 0;
  double top = 0;
  double right = 0;
  double bottom = 0;
  bool operator==(const BedFrame&) const = default;
};

// The image the device is about to deliver.
struct ImageInfo {
  int width = 0;         // pixels per line
  int length = 0;        // lines; -1 while the device does not know (a hand scanner)
  int bytesPerLine = 0;  // bytes Read delivers for one line
  int bitsPerSample = 8;
  PixelType type = PixelType::Gray;  // Color delivers red, green, blue per pixel
};

class ScanDevice {
 public:
  virtual ~ScanDevice() = default;

  // The bed's width and height in inches.
  virtual DeviceStatus GetBedSize(double& width, double& height) = 0;
  virtual DeviceStatus SetPixelType(PixelType type) = 0;
  virtual DeviceStatus SetResolution(int dpi) = 0;
  virtual DeviceStatus SetFrame(const BedFrame& frame) = 0;
  // The frame the device will scan, as it rounded what it was given.
  virtual DeviceStatus GetFrame(BedFrame& frame) = 0;

  // Begins one image; Good means its data can be read.
  virtual DeviceStatus Start() = 0;
  virtual DeviceStatus GetImageInfo(ImageInfo& info) = 0;
  // Up to buffer.size() bytes of the image, top line first; EndOfData after the last byte.
  virtual DeviceStatus Read(std::span<uint8_t> buffer, std::size_t& got) = 0;
  // Ends the image in hand (finished or not); the device is ready for Start again.
  virtual void Cancel() = 0;
};

class ScanDeviceManager {
 public:
  virtual ~ScanDeviceManager() = default;
  // Loads the scanner library; Exit unloads it.
  virtual DeviceStatus Init() = 0;
  virtual void Exit() = 0;
  virtual DeviceStatus ListDevices(std::vector<DeviceInfo>& devices) = 0;
  virtual DeviceStatus Open(const std::string& name, std::unique_ptr<ScanDevice>& device) = 0;
};

}  // namespace quenda::twain
