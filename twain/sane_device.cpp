#include "twain/sane_device.h"

#include <sane/sane.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <cmath>
#include <optional>

namespace quenda::twain {
namespace {

constexpr double kMmPerInch = 25.4;

DeviceStatus FromSane(SANE_Status status) {
  if (status < SANE_STATUS_GOOD || status > SANE_STATUS_ACCESS_DENIED)
    return DeviceStatus::IoError;  // newer codes (warming up, locked): the device is not ready
  return DeviceStatus(int(status));
}

std::string Lower(std::string text) {
  for (char& c : text) c = char(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

class SaneDevice final : public ScanDevice {
 public:
  explicit SaneDevice(SANE_Handle handle) : handle_(handle) {}
  ~SaneDevice() override { sane_close(handle_); }

  DeviceStatus GetBedSize(double& width, double& height) override {
    auto w = RangeMaxInches("br-x");
    auto h = RangeMaxInches("br-y");
    if (!w || !h) return DeviceStatus::Unsupported;
    width = *w;
    height = *h;
    return DeviceStatus::Good;
  }

  DeviceStatus SetPixelType(PixelType type) override {
    auto index = Find("mode");
    if (!index) return DeviceStatus::Unsupported;
    const SANE_Option_Descriptor* d = sane_get_option_descriptor(handle_, *index);
    if (d->type != SANE_TYPE_STRING || d->constraint_type != SANE_CONSTRAINT_STRING_LIST)
      return DeviceStatus::Unsupported;
    // Backends spell the modes their own way: "Gray", "Grayscale", "Grey", "Color", "Colour".
    const std::string want = type == PixelType::Gray ? "gr" : "colo";
    for (const SANE_String_Const* mode = d->constraint.string_list; *mode; ++mode) {
      const std::string name = Lower(*mode);
      if (name.rfind(want, 0) != 0) continue;
      std::string value(*mode);
      value.resize(std::max<std::size_t>(value.size() + 1, std::size_t(d->size)), '\0');
      DeviceStatus status = Set(*index, value.data());
      if (status != DeviceStatus::Good) return status;
      // Eight bits a sample where the device offers a choice.
      if (auto depth = Find("depth")) SetNumber(*depth, 8);
      return DeviceStatus::Good;
    }
    return DeviceStatus::Unsupported;
  }

  DeviceStatus SetResolution(int dpi) override {
    auto index = Find("resolution");
    if (!index) return DeviceStatus::Unsupported;
    return SetNumber(*index, dpi);
  }

  DeviceStatus SetFrame(const BedFrame& frame) override {
    const char* names[] = {"tl-x", "tl-y", "br-x", "br-y"};
    const double values[] = {frame.left, frame.top, frame.right, frame.bottom};
    for (int i = 0; i < 4; ++i) {
      auto index = Find(names[i]);
      if (!index) return DeviceStatus::Unsupported;
      DeviceStatus status = SetNumber(*index, ToOptionUnit(*index, values[i]));
      if (status != DeviceStatus::Good) return status;
    }
    // Backends refuse to read options while they scan, so the frame as the device rounded it
    // is kept now for the transfer to place the image.
    BedFrame rounded;
    if (ReadFrame(rounded) != DeviceStatus::Good) return DeviceStatus::Unsupported;
    frame_ = rounded;
    return DeviceStatus::Good;
  }

  DeviceStatus GetFrame(BedFrame& frame) override {
    if (frame_ || startFrame_) {
      frame = frame_ ? *frame_ : *startFrame_;
      return DeviceStatus::Good;
    }
    return ReadFrame(frame);
  }

 private:
  DeviceStatus ReadFrame(BedFrame& frame) {
    const char* names[] = {"tl-x", "tl-y", "br-x", "br-y"};
    double values[4] = {};
    for (int i = 0; i < 4; ++i) {
      auto index = Find(names[i]);
      if (!index) return DeviceStatus::Unsupported;
      auto value = GetNumber(*index);
      if (!value) return DeviceStatus::Unsupported;
      values[i] = FromOptionUnit(*index, *value);
    }
    frame = {values[0], values[1], values[2], values[3]};
    return DeviceStatus::Good;
  }

 public:
  DeviceStatus Start() override {
    // Backends refuse every option while they scan, so a frame nobody set is read now.
    startFrame_.reset();
    if (BedFrame frame; !frame_ && ReadFrame(frame) == DeviceStatus::Good) startFrame_ = frame;
    return FromSane(sane_start(handle_));
  }

  DeviceStatus GetImageInfo(ImageInfo& info) override {
    SANE_Parameters p;
    if (SANE_Status status = sane_get_parameters(handle_, &p); status != SANE_STATUS_GOOD)
      return FromSane(status);
    if (p.format != SANE_FRAME_GRAY && p.format != SANE_FRAME_RGB)
      return DeviceStatus::Unsupported;  // three-pass and compressed frames
    info = {p.pixels_per_line, p.lines, p.bytes_per_line, p.depth,
            p.format == SANE_FRAME_RGB ? PixelType::Color : PixelType::Gray};
    return DeviceStatus::Good;
  }

  DeviceStatus Read(std::span<uint8_t> buffer, std::size_t& got) override {
    SANE_Int length = 0;
    const SANE_Int most = SANE_Int(std::min<std::size_t>(buffer.size(), INT_MAX));
    SANE_Status status = sane_read(handle_, buffer.data(), most, &length);
    got = status == SANE_STATUS_GOOD ? std::size_t(std::max(length, 0)) : 0;
    return FromSane(status);
  }

  void Cancel() override { sane_cancel(handle_); }

 private:
  std::optional<SANE_Int> Find(std::string_view name) {
    for (SANE_Int i = 1;; ++i) {
      const SANE_Option_Descriptor* d = sane_get_option_descriptor(handle_, i);
      if (!d) return std::nullopt;
      if (d->name && name == d->name && SANE_OPTION_IS_ACTIVE(d->cap)) return i;
    }
  }

  DeviceStatus Set(SANE_Int index, void* value) {
    SANE_Int info = 0;
    return FromSane(sane_control_option(handle_, index, SANE_ACTION_SET_VALUE, value, &info));
  }

  DeviceStatus SetNumber(SANE_Int index, double value) {
    const SANE_Option_Descriptor* d = sane_get_option_descriptor(handle_, index);
    SANE_Word word = 0;
    if (d->type == SANE_TYPE_FIXED)
      word = SANE_FIX(value);
    else if (d->type == SANE_TYPE_INT)
      word = SANE_Word(std::lround(value));
    else
      return DeviceStatus::Unsupported;
    return Set(index, &word);
  }

  std::optional<double> GetNumber(SANE_Int index) {
    const SANE_Option_Descriptor* d = sane_get_option_descriptor(handle_, index);
    SANE_Word word = 0;
    if (sane_control_option(handle_, index, SANE_ACTION_GET_VALUE, &word, nullptr) !=
        SANE_STATUS_GOOD)
      return std::nullopt;
    return d->type == SANE_TYPE_FIXED ? SANE_UNFIX(word) : double(word);
  }

  // Geometry is in millimetres, or in pixels at the current resolution.
  double InchesPerUnit(SANE_Int index) {
    const SANE_Option_Descriptor* d = sane_get_option_descriptor(handle_, index);
    if (d->unit == SANE_UNIT_PIXEL) {
      auto resolution = Find("resolution");
      auto dpi = resolution ? GetNumber(*resolution) : std::nullopt;
      return dpi && *dpi > 0 ? 1.0 / *dpi : 1.0;
    }
    return 1.0 / kMmPerInch;
  }
  double ToOptionUnit(SANE_Int index, double inches) { return inches / InchesPerUnit(index); }
  double FromOptionUnit(SANE_Int index, double value) { return value * InchesPerUnit(index); }

  std::optional<double> RangeMaxInches(std::string_view name) {
    auto index = Find(name);
    if (!index) return std::nullopt;
    const SANE_Option_Descriptor* d = sane_get_option_descriptor(handle_, *index);
    if (d->constraint_type != SANE_CONSTRAINT_RANGE) return std::nullopt;
    const SANE_Word max = d->constraint.range->max;
    return FromOptionUnit(*index, d->type == SANE_TYPE_FIXED ? SANE_UNFIX(max) : double(max));
  }

  SANE_Handle handle_;
  std::optional<BedFrame> frame_;
  std::optional<BedFrame> startFrame_;  // the device's own frame, read as the scan started
};

}  // namespace

SaneDeviceManager::~SaneDeviceManager() {
  Exit();
}

DeviceStatus SaneDeviceManager::Init() {
  if (initialised_) return DeviceStatus::Good;
  SANE_Int version = 0;
  SANE_Status status = sane_init(&version, nullptr);
  if (status != SANE_STATUS_GOOD) return FromSane(status);
  initialised_ = true;
  return DeviceStatus::Good;
}

void SaneDeviceManager::Exit() {
  if (!initialised_) return;
  sane_exit();
  initialised_ = false;
}

DeviceStatus SaneDeviceManager::ListDevices(std::vector<DeviceInfo>& devices) {
  const SANE_Device** list = nullptr;
  if (SANE_Status status = sane_get_devices(&list, SANE_FALSE); status != SANE_STATUS_GOOD)
    return FromSane(status);
  devices.clear();
  for (const SANE_Device** d = list; d && *d; ++d)
    devices.push_back({(*d)->name ? (*d)->name : "", (*d)->vendor ? (*d)->vendor : "",
                       (*d)->model ? (*d)->model : "", (*d)->type ? (*d)->type : ""});
  return DeviceStatus::Good;
}

DeviceStatus SaneDeviceManager::Open(const std::string& name, std::unique_ptr<ScanDevice>& device) {
  SANE_Handle handle = nullptr;
  if (SANE_Status status = sane_open(name.c_str(), &handle); status != SANE_STATUS_GOOD)
    return FromSane(status);
  device = std::make_unique<SaneDevice>(handle);
  return DeviceStatus::Good;
}

}  // namespace quenda::twain
