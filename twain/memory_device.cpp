#include "twain/memory_device.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace quenda::twain {
namespace {

class MemoryDevice final : public ScanDevice {
 public:
  explicit MemoryDevice(MemoryScanner& scanner)
      : scanner_(scanner), frame_{0, 0, scanner.bedWidth, scanner.bedHeight} {}
  ~MemoryDevice() override { ++scanner_.closes; }

  DeviceStatus GetBedSize(double& width, double& height) override {
    if (auto failure = Failure(DeviceCall::BedSize)) return *failure;
    width = scanner_.bedWidth;
    height = scanner_.bedHeight;
    return DeviceStatus::Good;
  }
  DeviceStatus SetPixelType(PixelType type) override {
    if (auto failure = Failure(DeviceCall::PixelType)) return *failure;
    type_ = type;
    return DeviceStatus::Good;
  }
  DeviceStatus SetResolution(int dpi) override {
    if (auto failure = Failure(DeviceCall::Resolution)) return *failure;
    if (dpi < 1 || dpi > 1200) return DeviceStatus::Invalid;
    dpi_ = dpi;
    return DeviceStatus::Good;
  }
  DeviceStatus SetFrame(const BedFrame& frame) override {
    if (auto failure = Failure(DeviceCall::SetFrame)) return *failure;
    frame_ = {std::clamp(frame.left, 0.0, scanner_.bedWidth),
              std::clamp(frame.top, 0.0, scanner_.bedHeight),
              std::clamp(frame.right, 0.0, scanner_.bedWidth),
              std::clamp(frame.bottom, 0.0, scanner_.bedHeight)};
    return DeviceStatus::Good;
  }
  DeviceStatus GetFrame(BedFrame& frame) override {
    if (auto failure = Failure(DeviceCall::GetFrame)) return *failure;
    frame = frame_;
    return DeviceStatus::Good;
  }
  DeviceStatus Start() override {
    if (auto failure = Failure(DeviceCall::Start)) return *failure;
    x0_ = int(std::lround(frame_.left * dpi_));
    y0_ = int(std::lround(frame_.top * dpi_));
    width_ = int(std::lround((frame_.right - frame_.left) * dpi_));
    length_ = int(std::lround((frame_.bottom - frame_.top) * dpi_));
    if (width_ < 1 || length_ < 1) return DeviceStatus::Invalid;
    position_ = 0;
    scanning_ = true;
    return DeviceStatus::Good;
  }
  DeviceStatus GetImageInfo(ImageInfo& info) override {
    if (auto failure = Failure(DeviceCall::ImageInfo)) return *failure;
    info = {width_, length_, width_ * Channels(), 8, type_};
    return DeviceStatus::Good;
  }
  DeviceStatus Read(std::span<uint8_t> buffer, std::size_t& got) override {
    got = 0;
    if (scanner_.onRead) scanner_.onRead();
    if (!scanning_) return DeviceStatus::Cancelled;
    if (auto failure = Failure(DeviceCall::Read)) return *failure;
    const long long total = (long long)width_ * Channels() * length_;
    if (position_ >= total) return DeviceStatus::EndOfData;
    if (scanner_.readFailsAfter >= 0 && position_ >= scanner_.readFailsAfter)
      return DeviceStatus::IoError;
    const std::size_t count = std::min<long long>(
        {(long long)buffer.size(), (long long)scanner_.readBlock, total - position_});
    for (std::size_t i = 0; i < count; ++i, ++position_) {
      const long long pixel = position_ / Channels();
      buffer[i] = scanner_.picture(x0_ + int(pixel % width_), y0_ + int(pixel / width_),
                                   int(position_ % Channels()));
    }
    got = count;
    return DeviceStatus::Good;
  }
  void Cancel() override {
    ++scanner_.cancels;
    scanning_ = false;
  }

 private:
  std::optional<DeviceStatus> Failure(DeviceCall call) const {
    auto found = scanner_.failures.find(call);
    if (found == scanner_.failures.end()) return std::nullopt;
    return found->second;
  }
  int Channels() const { return type_ == PixelType::Color ? 3 : 1; }

  MemoryScanner& scanner_;
  PixelType type_ = PixelType::Gray;
  int dpi_ = 72;
  BedFrame frame_;
  int x0_ = 0, y0_ = 0, width_ = 0, length_ = 0;
  long long position_ = 0;
  bool scanning_ = false;
};

}  // namespace

DeviceStatus MemoryDeviceManager::Init() {
  ++scanner_.inits;
  auto failure = scanner_.failures.find(DeviceCall::Init);
  return failure == scanner_.failures.end() ? DeviceStatus::Good : failure->second;
}

DeviceStatus MemoryDeviceManager::ListDevices(std::vector<DeviceInfo>& devices) {
  if (auto failure = scanner_.failures.find(DeviceCall::List); failure != scanner_.failures.end())
    return failure->second;
  devices = scanner_.devices;
  return DeviceStatus::Good;
}

DeviceStatus MemoryDeviceManager::Open(const std::string& name,
                                       std::unique_ptr<ScanDevice>& device) {
  if (auto failure = scanner_.failures.find(DeviceCall::Open); failure != scanner_.failures.end())
    return failure->second;
  auto known = std::find_if(scanner_.devices.begin(), scanner_.devices.end(),
                            [&](const DeviceInfo& info) { return info.name == name; });
  if (known == scanner_.devices.end()) return DeviceStatus::Invalid;
  ++scanner_.opens;
  device = std::make_unique<MemoryDevice>(scanner_);
  return DeviceStatus::Good;
}

}  // namespace quenda::twain
