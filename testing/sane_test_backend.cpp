#include "testing/sane_test_backend.h"

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <pthread.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

// SANE's thread helper makes a backend's reader thread cancellable at any instruction. A cancel
// that lands while the reader is inside malloc (STOP or a read error just after a transfer
// starts) leaves the allocator locked, and the test's next allocation waits for ever. Deferred,
// the same cancel lands at the reader's next write to its pipe. The test programs export this
// definition so that the backend, loaded later, binds to it.
extern "C" int pthread_setcanceltype(int type, int* oldType) {
  using Real = int (*)(int, int*);
  static const Real real = reinterpret_cast<Real>(dlsym(RTLD_NEXT, "pthread_setcanceltype"));
  return real(type == PTHREAD_CANCEL_ASYNCHRONOUS ? PTHREAD_CANCEL_DEFERRED : type, oldType);
}

// The test backend loses its reader's buffer when a transfer is cancelled: its fault, not the
// session's, which the cancel tests must still exercise.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libsane-test\n";
}

namespace quenda::testing {

SaneTestBackend::SaneTestBackend(const std::vector<std::string>& options) : config_(Folder()) {
  WriteText(config_.File("dll.conf"), "test\n");
  std::string conf;
  for (const std::string& line : options) conf += line + "\n";
  WriteText(config_.File("test.conf"), conf);
  setenv("SANE_CONFIG_DIR", config_.path().c_str(), 1);
}

TempDir& SaneTestBackend::Folder() {
  static TempDir folder;
  // Kept loaded, the backend can be named in the leak checker's suppressions; unloaded, it
  // could not.
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

Raster SaneTestBackend::Scanimage(const std::string& device, const std::string& args) const {
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

}  // namespace quenda::testing
