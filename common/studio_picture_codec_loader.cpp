#include <dlfcn.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <system_error>

#include "common/studio_picture_codec.h"

namespace quenda {
namespace {

#ifndef QUENDA_PICTURE_CODEC_LINKED
// The file of the running program, for finding the module beside it.
std::string ProgramPath() {
  std::error_code error;
  const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::string() : program.string();
}

Result<const StudioPictureCodec*> FindAndLoad() {
  if (const char* named = std::getenv(kStudioPictureCodecPathVariable); named && *named)
    return LoadStudioPictureCodecFrom(named);
  for (const std::string& place : StudioPictureCodecPlaces(ProgramPath())) {
    if (access(place.c_str(), F_OK) == 0) return LoadStudioPictureCodecFrom(place);
  }
  return Error{"the picture codec " + std::string(kStudioPictureCodecFile) +
               " is not installed beside the program"};
}
#endif

}  // namespace

std::vector<std::string> StudioPictureCodecPlaces(const std::string& programPath) {
  std::vector<std::string> places;
  if (programPath.empty()) return places;
  std::filesystem::path folder = std::filesystem::path(programPath).parent_path();
  for (int level = 0; level <= kStudioPictureCodecLevels && !folder.empty(); ++level) {
    places.push_back((folder / kStudioPictureCodecFolder / kStudioPictureCodecFile).string());
    if (folder == folder.parent_path()) break;
    folder = folder.parent_path();
  }
  return places;
}

Result<const StudioPictureCodec*> LoadStudioPictureCodecFrom(const std::string& path) {
  // Kept loaded for the life of the program: pictures it decoded may still be in hand at exit.
  void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!module) {
    const char* reason = dlerror();
    return Error{"the picture codec " + path +
                 " cannot be loaded: " + (reason ? reason : "no reason given")};
  }
  using Entry = const StudioPictureCodec* (*)();
  const auto entry = reinterpret_cast<Entry>(dlsym(module, "quenda_studio_picture_codec"));
  if (!entry) {
    dlclose(module);
    return Error{"the picture codec " + path + " cannot be used: it has no " +
                 "quenda_studio_picture_codec"};
  }
  const StudioPictureCodec* codec = entry();
  if (!codec || codec->version != kStudioPictureCodecVersion ||
      codec->size != sizeof(StudioPictureCodec) || !codec->decode || !codec->readHeader ||
      !codec->encode) {
    dlclose(module);
    return Error{"the picture codec " + path + " is not the codec of this build of the suite"};
  }
  return codec;
}

Result<const StudioPictureCodec*> StudioPictureCodecInUse() {
#ifdef QUENDA_PICTURE_CODEC_LINKED
  // The sanitizer and fuzz builds link the codec in: their instrumented heap must see every
  // allocation, and a module built apart would not be instrumented alike.
  return quenda_studio_picture_codec();
#else
  static std::once_flag once;
  static Result<const StudioPictureCodec*> loaded = Error{"the picture codec was not looked for"};
  std::call_once(once, [] { loaded = FindAndLoad(); });
  return loaded;
#endif
}

}  // namespace quenda
