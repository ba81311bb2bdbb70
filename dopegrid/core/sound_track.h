#pragma once
// The sheet's sound track and the arithmetic that lines it up with frames: which samples a
// selection plays, the block a flipbook carries, and the waveform of the sound column.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/audio_output.h"
#include "common/prompt.h"
#include "common/wave_format.h"

namespace quenda {

inline constexpr int kDefaultSoundFrameRate = 25;
inline constexpr int kMaxSoundFrameRate = 100;
inline constexpr uint8_t kFlipbookSilence = 127;
inline constexpr int kSoundColumnWidth = 100;

struct SoundTrack {
  std::string path;
  WaveFormat format;
  std::vector<uint8_t> samples;
  bool loaded = false;
  int frameRate = kDefaultSoundFrameRate;  // display frames per second
  int startFrame = 1;                      // sheet frame, counted from 1, of the first sample
};

// Samples per second div display frame rate.
int SamplesPerFrame(const SoundTrack& sound);

struct SampleRange {
  std::size_t offset = 0;
  std::size_t length = 0;
  bool operator==(const SampleRange&) const = default;
};

// The samples under sheet frames first..last (from 0); nothing when none play.
std::optional<SampleRange> SelectionSampleRange(const SoundTrack& sound, int firstFrame,
                                                int lastFrame);

// The sound of flipbook frames first..last (from 0): silence where the sound has not begun or
// has ended. Empty when no sound falls in the range.
std::vector<uint8_t> FlipbookSoundBlock(const SoundTrack& sound, int firstFrame, int lastFrame);

// The waveform polyline of the sound column: for each pixel row from the top visible frame
// row down, one sample, `x` pixels from the column's left edge.
struct WavePoint {
  int x = 0;
  int y = 0;  // pixels below the top of the first visible frame row
  bool operator==(const WavePoint&) const = default;
};
std::vector<WavePoint> WaveformPoints(const SoundTrack& sound, int topFrame, int visibleFrames,
                                      int rowHeight);

// What playback needs of the window while the sound plays: the status line, and whether a
// key was pressed (one pending input event is taken per call).
class PlaybackWatch {
 public:
  virtual ~PlaybackWatch() = default;
  virtual bool KeyPressed() = 0;
  virtual void ShowStatus(std::string_view text) = 0;
};

inline constexpr std::string_view kPlayingSelection =
    "Playing sound selection...     Press any key to stop";
inline constexpr std::string_view kPlayingAll = "Playing Sound...     Press any key to stop";

// Plays `range` of the sound until it ends or a key is pressed; failures are shown.
bool PlaySound(const SoundTrack& sound, SampleRange range, std::string_view status,
               AudioOutput& output, PlaybackWatch& watch, Prompt& prompt);

}  // namespace quenda
