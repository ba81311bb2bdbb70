#pragma once
// Real scanners through SANE: the library's init and exit load and unload the source manager,
// sane_get_devices lists the sources, sane_open opens one, and its options `mode`,
// `resolution` and `tl-x`/`tl-y`/`br-x`/`br-y` carry the pixel type, resolution and scan
// area (their ranges give the bed's size). SANE's statuses come back unchanged.
//
// SANE_CONFIG_DIR chooses the configuration (and so the backends) as for every SANE program.

#include "twain/scan_device.h"

namespace quenda::twain {

class SaneDeviceManager final : public ScanDeviceManager {
 public:
  SaneDeviceManager() = default;
  ~SaneDeviceManager() override;
  SaneDeviceManager(const SaneDeviceManager&) = delete;
  SaneDeviceManager& operator=(const SaneDeviceManager&) = delete;

  DeviceStatus Init() override;
  void Exit() override;
  DeviceStatus ListDevices(std::vector<DeviceInfo>& devices) override;
  DeviceStatus Open(const std::string& name, std::unique_ptr<ScanDevice>& device) override;

 private:
  bool initialised_ = false;
};

}  // namespace quenda::twain
