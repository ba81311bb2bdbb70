#pragma once
// Sound files as the exposure sheet loads them: a WAV goes to the suite's own reader first, with
// its messages; a WAV that reader refuses as unsupported (floating point, compressed, many
// channels) and every other kind (AIFF, FLAC, MP3, Ogg, M4A...) go to a decoder, when one is
// given. media/ has the decoder on FFmpeg; the cores see only this interface.

#include <string>
#include <string_view>

#include "common/pcm_sound.h"
#include "common/result.h"
#include "common/wave_file.h"

namespace quenda {

inline constexpr std::string_view kSoundFileFilter =
    "Audio Files (*.wav *.aif *.aiff *.flac *.mp3 *.ogg *.opus *.m4a)";

class SoundDecoder {
 public:
  virtual ~SoundDecoder() = default;
  // The whole sound of the file, or a message naming the file and the reason.
  virtual Result<PcmSound> Decode(const std::string& path) const = 0;
};

// The sheet's form of a decoded sound: 8-bit mono at the sound's own rate. The channels'
// mean is scaled by 128, rounded half away from zero, raised by 128 and clamped to 0..255, as
// the wave reader converts integer PCM.
WaveSound SheetSoundFrom(const PcmSound& sound);

// The sound for the sheet, from the wave reader or `decoder` (none: WAV only, as before).
Result<WaveSound> ReadSheetSound(const std::string& path, const SoundDecoder* decoder);

}  // namespace quenda
