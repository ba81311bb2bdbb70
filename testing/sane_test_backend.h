#pragma once
// SANE's own `test` backend as a scanner for integration tests: a configuration folder of the
// tests' own (dll.conf naming only `test`, test.conf with the options a test asks for) as
// SANE_CONFIG_DIR, and scanimage run on the same configuration to say what the backend
// delivers. The library reads SANE_CONFIG_DIR once per process, so every test of a program
// shares one folder and each rewrites test.conf.

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "common/raster.h"
#include "testing/test_support.h"

namespace quenda::testing {

class SaneTestBackend {
 public:
  // `options` are lines of test.conf, e.g. `test-picture "Grid"`.
  explicit SaneTestBackend(const std::vector<std::string>& options = {}) : config_(Folder()) {
    WriteText(config_.File("dll.conf"), "test\n");
    std::string conf;
    for (const std::string& line : options) conf += line + "\n";
    WriteText(config_.File("test.conf"), conf);
    setenv("SANE_CONFIG_DIR", config_.path().c_str(), 1);
  }
  SaneTestBackend(const SaneTestBackend&) = delete;
  SaneTestBackend& operator=(const SaneTestBackend&) = delete;

  static TempDir& Folder() {
    static TempDir folder;
    // The backend leaks its reader's buffer when a transfer is cancelled. Kept loaded, it can
    // be named in the leak checker's suppressions (sane_scan_test.cpp); unloaded, it could not.
    static void* keptLoaded = [] {
      for (const char* path :
           {"/usr/lib/x86_64-linux-gnu/sane/libsane-test.so.1",
            "/usr/lib/aarch64-linux-gnu/sane/libsane-test.so.1", "/usr/lib/sane/libsane-test.so.1"})
        if (void* handle = dlopen(path, RTLD_NOW | RTLD_NODELETE)) return handle;
      return static_cast<void*>(nullptr);
    }();
    (void)keptLoaded;
    return folder;
  }

  const std::string& configDir() const { return config_.path(); }

  // What `scanimage -d DEVICE ARGS --format=pnm` prints, as a grey picture (or red, green, blue
  // for a colour scan) with row 0 at the TOP (as scanimage sends it); empty when scanimage
  // failed, with its output in the log.
  Raster Scanimage(const std::string& device, const std::string& args) const {
    const std::string out = config_.File("scan.pgm");
    const std::string command = "scanimage -d " + device + " " + args + " --format=pnm > " + out +
                                " 2> " + config_.File("scanimage.log");
    if (std::system(command.c_str()) != 0) {
      ADD_FAILURE() << command << "\n" << ReadText(config_.File("scanimage.log"));
      return {};
    }
    std::vector<uint8_t> bytes = ReadBytes(out);
    // P5 (grey) or P6 (colour), a comment line, width height, 255, then the pixels.
    const int channels = bytes.size() > 1 && bytes[1] == '6' ? 3 : 1;
    std::string header(bytes.begin(), bytes.begin() + std::min<std::size_t>(bytes.size(), 200));
    int width = 0, height = 0, maxValue = 0, consumed = 0;
    std::size_t comment = header.find("\n#");
    std::size_t sizeAt = header.find('\n', comment == std::string::npos ? 0 : comment + 1);
    if (std::sscanf(header.c_str() + sizeAt, "%d %d %d%n", &width, &height, &maxValue, &consumed) !=
            3 ||
        maxValue != 255) {
      ADD_FAILURE() << "scanimage wrote no 8-bit picture";
      return {};
    }
    const std::size_t start = sizeAt + consumed + 1;
    if (bytes.size() != start + std::size_t(width) * height * channels) {
      ADD_FAILURE() << "scanimage's picture holds " << bytes.size() - start << " bytes";
      return {};
    }
    return Raster(width, height, channels,
                  std::vector<uint8_t>(bytes.begin() + std::ptrdiff_t(start), bytes.end()));
  }

 private:
  TempDir& config_;
};

}  // namespace quenda::testing
