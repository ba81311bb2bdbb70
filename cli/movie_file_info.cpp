// `quenda info MOVIE.avi` and `quenda info SOUND.wav`: a movie's streams, a sound track's
// format and length.

#include <cstdio>
#include <string>

#include "cli/file_info.h"
#include "common/wave_file.h"
#include "media/movie_reader.h"

namespace quenda::cli {

int PrintWaveInfo(const std::string& path, CommandIo& io) {
  Result<WaveSound> read = ReadWaveFile(path);
  if (!read) {
    io.err << read.message() << "\n";
    return 1;
  }
  const WaveFormat& format = read->format;
  const uint64_t samples = read->samples.size();
  const uint64_t rate = format.samplesPerSecond;
  // A frame partly covered still sounds, so the sound lasts up to the frame it ends in.
  auto frames = [&](uint64_t perSecond) {
    return rate ? (samples * perSecond + rate - 1) / rate : 0;
  };
  char seconds[32];
  std::snprintf(seconds, sizeof seconds, "%.2f", rate ? double(samples) / double(rate) : 0.0);
  io.out << "wave sound " << path << "\n"
         << "format: PCM, " << format.channels
         << (format.channels == 1 ? " channel, " : " channels, ") << format.bitsPerSample
         << " bits\n"
         << "rate: " << rate << " samples per second\n"
         << "samples: " << samples << " (" << seconds << " s)\n"
         << "frames: " << frames(25) << " at 25 per second, " << frames(30)
         << " at 30 per second\n";
  return 0;
}

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
