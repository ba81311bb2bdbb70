// `quenda info MOVIE.avi`: the streams of a flipbook or preview movie.

#include <string>

#include "cli/file_info.h"
#include "media/movie_reader.h"

namespace quenda::cli {

int PrintMovieInfo(const std::string& path, CommandIo& io) {
  auto opened = MovieReader::Open(path);
  if (!opened) {
    io.err << opened.message() << "\n";
    return 1;
  }
  const MovieReader& movie = **opened;
  std::ostream& out = io.out;
  out << "AVI movie " << path << "\n"
      << "video: " << movie.videoCodec() << " " << movie.width() << " x " << movie.height() << "\n"
      << "rate: " << movie.rate() << " / " << movie.scale() << " (" << movie.framesPerSecond()
      << " frames per second)\n"
      << "frames: " << movie.frameCount() << "\n";
  if (!movie.streamName().empty()) out << "stream name: " << movie.streamName() << "\n";
  if (!movie.hasSound()) {
    out << "sound: none\n";
    return 0;
  }
  const WaveFormat& format = movie.soundFormat();
  out << "sound: " << movie.soundCodec() << ", " << format.channels
      << (format.channels == 1 ? " channel, " : " channels, ") << format.bitsPerSample << " bits, "
      << format.samplesPerSecond << " samples per second\n";
  auto sound = movie.ReadSound();
  if (!sound) {
    io.err << sound.message() << "\n";
    return 1;
  }
  const std::size_t blockAlign = format.blockAlign ? format.blockAlign : 1;
  out << "sound samples: " << sound->size() / blockAlign << "\n";
  return 0;
}

}  // namespace quenda::cli
