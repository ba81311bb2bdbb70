#pragma once
// A scanner in memory, for tests: a bed of a given size whose picture is a function of the bed
// position, and a failure that can be put on any of its calls.

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "twain/scan_device.h"

namespace quenda::twain {

enum class DeviceCall {
  Init,
  List,
  Open,
  BedSize,
  PixelType,
  Resolution,
  SetFrame,
  GetFrame,
  Start,
  ImageInfo,
  Read,
};

struct MemoryScanner {
  std::vector<DeviceInfo> devices{{"memory:0", "Quenda", "memory bed", "flatbed scanner"}};
  double bedWidth = 8.5;  // inches
  double bedHeight = 11.7;
  // Grey (or red, green, blue) at a bed pixel, in pixels at the scan's resolution from the
  // bed's top-left corner.
  std::function<uint8_t(int x, int y, int channel)> picture = [](int x, int y, int channel) {
    return uint8_t((x * 7 + y * 13 + channel * 50) & 0xFF);
  };
  std::map<DeviceCall, DeviceStatus> failures;  // a call answers this status instead
  long long readFailsAfter = -1;                // bytes delivered before Read fails (IoError)
  std::size_t readBlock = 1000;                 // at most this many bytes per Read
  std::function<void()> onRead;                 // called before every Read, e.g. to press STOP

  // What happened, for the tests to look at.
  int inits = 0;
  int exits = 0;
  int opens = 0;
  int closes = 0;
  int cancels = 0;
};

// Lists and opens the scanners of `scanner` (all devices share its bed and picture).
class MemoryDeviceManager final : public ScanDeviceManager {
 public:
  explicit MemoryDeviceManager(MemoryScanner& scanner) : scanner_(scanner) {}
  DeviceStatus Init() override;
  void Exit() override { ++scanner_.exits; }
  DeviceStatus ListDevices(std::vector<DeviceInfo>& devices) override;
  DeviceStatus Open(const std::string& name, std::unique_ptr<ScanDevice>& device) override;

 private:
  MemoryScanner& scanner_;
};

}  // namespace quenda::twain
