// `quenda info MOVIE.avi|mp4|mov` and `quenda info SOUND.wav`: a movie's streams, a sound
// track's format and length.

#include <cstdio>
#include <string>

#include "cli/file_info.h"
#include "common/wave_file.h"
#include "media/movie_facts.h"
#include "media/movie_reader.h"

namespace quenda::cli {
namespace {

std::string Seconds(double seconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", seconds);
  return text;
}

std::string Channels(int count) {
  return std::to_string(count) + (count == 1 ? " channel" : " channels");
}

}  // namespace

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

// An MP4's or MOV's streams as stored, read by FFmpeg rather than through the player's frames.
int PrintEncodedMovieInfo(const std::string& path, CommandIo& io) {
  Result<MovieFacts> read = ReadMovieFacts(path);
  if (!read) {
    io.err << read.message() << "\n";
    return 1;
  }
  const MovieFacts& movie = *read;
  std::ostream& out = io.out;
  const double perSecond = double(movie.rateNumerator) / movie.rateDenominator;
  char rate[32];
  std::snprintf(rate, sizeof rate, "%.3f", perSecond);
  out << movie.container << " movie " << path << "\n"
      << "video: " << movie.codec;
  if (!movie.profile.empty()) out << " (" << movie.profile << ")";
  out << " " << movie.width << " x " << movie.height << "\n"
      << "pixel format: " << movie.pixelFormat << (movie.alpha ? ", with alpha" : ", no alpha")
      << "\n"
      << "rate: " << movie.rateNumerator << " / " << movie.rateDenominator << " (" << rate
      << " frames per second)\n"
      << "frames: " << movie.frames << "\n"
      << "duration: " << Seconds(movie.seconds) << " s\n";
  if (!movie.sound) {
    out << "sound: none\n";
    return 0;
  }
  const SoundStreamFacts& sound = *movie.sound;
  out << "sound: " << sound.codec << ", " << Channels(sound.channels) << ", ";
  if (sound.bitsPerSample > 0) out << sound.bitsPerSample << " bits, ";
  out << sound.samplesPerSecond << " samples per second, " << Seconds(sound.seconds) << " s\n";
  return 0;
}

}  // namespace quenda::cli
