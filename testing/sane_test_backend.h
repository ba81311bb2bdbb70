#pragma once
// SANE's own `test` backend as a scanner for integration tests: a configuration folder of the
// tests' own (dll.conf naming only `test`, test.conf with the options a test asks for) as
// SANE_CONFIG_DIR, and scanimage run on the same configuration to say what the backend
// delivers. The library reads SANE_CONFIG_DIR once per process, so every test of a program
// shares one folder and each rewrites test.conf.

#include <string>
#include <vector>

#include "common/raster.h"
#include "testing/test_support.h"

namespace quenda::testing {

class SaneTestBackend {
 public:
  // `options` are lines of test.conf, e.g. `test-picture "Grid"`.
  explicit SaneTestBackend(const std::vector<std::string>& options = {});
  SaneTestBackend(const SaneTestBackend&) = delete;
  SaneTestBackend& operator=(const SaneTestBackend&) = delete;

  static TempDir& Folder();

  const std::string& configDir() const { return config_.path(); }

  // What `scanimage -d DEVICE ARGS --format=pnm` prints, as a grey picture (or red, green, blue
  // for a colour scan) with row 0 at the TOP (as scanimage sends it); empty when scanimage
  // failed, with its output in the log.
  Raster Scanimage(const std::string& device, const std::string& args) const;

 private:
  TempDir& config_;
};

}  // namespace quenda::testing
