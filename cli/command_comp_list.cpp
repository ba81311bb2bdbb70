// What `quenda comp list` and `quenda info MOVIE.cmp` print of a composition: the movie's
// settings, a line per clip and, when asked, each clip's keys and edge behaviour.

#include <cmath>
#include <cstdio>

#include "cli/command_comp.h"
#include "cli/file_info.h"
#include "composer/core/composition_file.h"

namespace quenda::cli {
namespace comp {

namespace {

const char* EdgeName(EdgeBehaviour edge) {
  switch (edge) {
    case EdgeBehaviour::Hold:
      return "hold";
    case EdgeBehaviour::Loop:
      return "loop";
    case EdgeBehaviour::PingPong:
      return "ping-pong";
    case EdgeBehaviour::Stop:
      break;
  }
  return "stop";
}

// One line per track that has keys: "FRAME=VALUE", with "(in/out)" where it eases.
void ListKeys(const ClipRecord& clip, CommandIo& io) {
  static const char* const kImageTracks[] = {"x", "y", "scale-x", "scale-y", "rotation"};
  static const char* const kEffectTracks[] = {"a", "b"};
  const int tracks = clip.IsEffect() ? 2 : kTrackCount;
  for (int t = 0; t < tracks; ++t) {
    const KeyTrack& track = clip.tracks[std::size_t(t)];
    if (track.empty()) continue;
    io.out << "      " << (clip.IsEffect() ? kEffectTracks[t] : kImageTracks[t]) << ":";
    for (const Key& key : track.keys()) {
      io.out << " " << key.frame + 1 << "=" << key.value;
      if (key.easeIn || key.easeOut) io.out << "(" << key.easeIn << "/" << key.easeOut << ")";
    }
    io.out << "\n";
  }
  io.out << "      before start: " << EdgeName(clip.beforeStart)
         << ", after end: " << EdgeName(clip.afterEnd) << "\n";
}

}  // namespace

void ListClips(const Composition& c, CommandIo& io, bool keys) {
  static const char* const kUnits[] = {"pixel", "cm", "inch"};
  io.out << c.width << " x " << c.height << ", " << c.frames << " frames, " << c.clipCount()
         << " clips\n";
  char background[8];
  std::snprintf(background, sizeof background, "%02X%02X%02X", c.backgroundColor & 0xFF,
                (c.backgroundColor >> 8) & 0xFF, (c.backgroundColor >> 16) & 0xFF);
  io.out << "  background " << background << ", safe frame " << std::lround(c.actionSafe * 100)
         << " % action, " << std::lround(c.titleSafe * 100) << " % title, units "
         << (c.units >= 0 && c.units <= 2 ? kUnits[c.units] : "?") << " at " << c.dpi << " dpi\n";
  for (int i = 0; i < c.clipCount(); ++i) {
    const ClipRecord& clip = c.clips[std::size_t(i)];
    io.out << "  " << i << "  " << clip.label;
    if (clip.IsImage()) io.out << "  " << (clip.singleImage ? "single image" : "frames ");
    if (clip.IsImage() && !clip.singleImage)
      io.out << clip.firstFrame << ".." << clip.lastFrame << " from frame " << clip.movieStart + 1;
    if (clip.parentIndex >= 0) io.out << "  parent " << clip.parentIndex;
    if (clip.hidden) io.out << "  hidden";
    io.out << "\n";
    if (keys) ListKeys(clip, io);
  }
}

}  // namespace comp

int PrintCompositionInfo(const std::string& path, CommandIo& io) {
  Result<Composition> read = ReadComposition(path);
  if (!read) {
    io.err << read.message() << "\n";
    return 1;
  }
  io.out << "composition " << path << "\n"
         << "rate: " << read->frameRate << " frames per second, pixel aspect " << read->pixelAspect
         << "\n";
  comp::ListClips(*read, io, true);
  return 0;
}

}  // namespace quenda::cli
