#include "media/tests/movie_test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include <sys/wait.h>

#include "common/scripted_prompt.h"
#include "media/avi_writer.h"
#include "testing/test_support.h"

namespace quenda::testing {

std::vector<uint8_t> MakeColourPicture(int width, int height, int frame) {
  std::vector<uint8_t> bytes(std::size_t(width) * height * 3);
  const double cx = width * (0.3 + 0.1 * frame), cy = height * 0.5, radius = height * 0.25;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      uint8_t* p = &bytes[(std::size_t(y) * width + x) * 3];
      const bool inDisc = std::hypot(x - cx, y - cy) < radius;
      // Fine pencil-like texture, so that the encoder's quality shows in the file size.
      const int texture = int(12 * std::sin(x * 1.3 + y * 0.7) * std::cos(y * 1.1 - x * 0.4));
      p[0] = uint8_t(inDisc ? 40 : 60 + 150 * x / width + texture);
      p[1] = uint8_t(inDisc ? 200 : 60 + 150 * y / height + texture);
      p[2] = uint8_t(inDisc ? 220 : 120 + 40 * std::sin((x + y + 7.0 * frame) / 9.0) + texture);
    }
  }
  return bytes;
}

double MeanAbsoluteError(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
  if (a.size() != b.size() || a.empty()) return 1e9;
  double sum = 0;
  for (std::size_t i = 0; i < a.size(); ++i) sum += std::abs(int(a[i]) - int(b[i]));
  return sum / double(a.size());
}

WaveFormat Mono8BitFormat(uint32_t samplesPerSecond) {
  WaveFormat format;
  format.samplesPerSecond = samplesPerSecond;
  format.averageBytesPerSecond = samplesPerSecond;
  return format;
}

std::vector<uint8_t> MakeSoundBlock(std::size_t bytes) {
  std::vector<uint8_t> block(bytes);
  for (std::size_t i = 0; i < bytes; ++i) block[i] = uint8_t((i * 7 + i / 251) & 0xFF);
  return block;
}

void WriteMovie(const std::string& path, const MoviePlan& plan) {
  ScriptedPrompt prompt;
  {
    AviWriter writer(prompt);
    ASSERT_TRUE(writer.Open(path, plan.quality, plan.framesPerSecond, plan.width, plan.height));
    if (plan.soundBytes > 0) {
      auto block = MakeSoundBlock(plan.soundBytes);
      ASSERT_TRUE(writer.WriteSound(Mono8BitFormat(plan.soundRate), block.data(), block.size()));
    }
    for (int i = 0; i < plan.frames; ++i)
      ASSERT_TRUE(writer.WriteFrame(i, MakeColourPicture(plan.width, plan.height, i).data()));
    writer.Close();
    ASSERT_TRUE(writer.Succeeded());
  }
  ASSERT_TRUE(prompt.Texts().empty()) << prompt.Texts().front();
}

std::vector<std::map<std::string, std::string>> ProbeStreams(const std::string& path) {
  std::vector<std::map<std::string, std::string>> streams;
  std::string command = "ffprobe -v error -count_frames -show_streams '" + path + "' 2>/dev/null";
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  if (!pipe) return streams;
  char line[1024];
  while (std::fgets(line, sizeof line, pipe.get())) {
    std::string text(line);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    if (text == "[STREAM]") {
      streams.emplace_back();
    } else if (!streams.empty() && text != "[/STREAM]") {
      auto equals = text.find('=');
      if (equals != std::string::npos)
        streams.back()[text.substr(0, equals)] = text.substr(equals + 1);
    }
  }
  return streams;
}

int RunShell(const std::string& command) {
  int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::vector<uint8_t> ShellOutput(const std::string& command) {
  std::vector<uint8_t> bytes;
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  if (!pipe) return bytes;
  uint8_t buffer[65536];
  while (std::size_t got = std::fread(buffer, 1, sizeof buffer, pipe.get()))
    bytes.insert(bytes.end(), buffer, buffer + got);
  return bytes;
}

std::vector<uint8_t> DecodedPictures(const std::string& path, const std::string& pixelFormat) {
  return ShellOutput("ffmpeg -v error -i '" + path + "' -map 0:v -f rawvideo -pix_fmt " +
                     pixelFormat + " -");
}

std::vector<int16_t> DecodedSound(const std::string& path, int rate) {
  std::vector<uint8_t> bytes =
      ShellOutput("ffmpeg -v error -i '" + path + "' -map 0:a -f s16le -ac 1 -ar " +
                  std::to_string(rate) + " -");
  std::vector<int16_t> samples(bytes.size() / 2);
  std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
  return samples;
}

std::vector<uint8_t> ReferenceYuv420(const std::vector<uint8_t>& rgb, int width, int height,
                                     int paddedWidth, int paddedHeight,
                                     const std::string& scratch) {
  WriteBytes(scratch, rgb);
  return ShellOutput("ffmpeg -v error -f rawvideo -pix_fmt rgb24 -s " + std::to_string(width) +
                     "x" + std::to_string(height) + " -i '" + scratch + "' -vf pad=" +
                     std::to_string(paddedWidth) + ":" + std::to_string(paddedHeight) +
                     ":0:0:white,scale=out_color_matrix=bt709:out_range=tv -f rawvideo "
                     "-pix_fmt yuv420p -");
}

std::vector<uint8_t> ShownPicture(const Raster& picture, bool overWhite, bool withAlpha) {
  std::vector<uint8_t> out;
  for (int y = picture.height() - 1; y >= 0; --y)
    for (int x = 0; x < picture.width(); ++x) {
      const uint8_t* p = picture.At(x, y);
      const int a = overWhite ? p[3] : 255;
      for (int c : {2, 1, 0}) out.push_back(uint8_t((p[c] * a + 255 * (255 - a) + 127) / 255));
      if (withAlpha) out.push_back(p[3]);
    }
  return out;
}

std::pair<long, long> LoudSpan(const std::vector<int16_t>& samples) {
  long first = -1, last = -1;
  for (std::size_t i = 0; i < samples.size(); ++i)
    if (std::abs(samples[i]) > 8192) {
      if (first < 0) first = long(i);
      last = long(i);
    }
  return {first, last};
}

double Psnr(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
  if (a.size() != b.size() || a.empty()) return 0;
  double sum = 0;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const double d = double(a[i]) - double(b[i]);
    sum += d * d;
  }
  if (sum == 0) return 999;
  return 10 * std::log10(255.0 * 255.0 * double(a.size()) / sum);
}

}  // namespace quenda::testing
