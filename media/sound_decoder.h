#pragma once
// Any sound FFmpeg decodes (WAV of every depth, AIFF, FLAC, MP3, Ogg Vorbis and Opus, M4A...),
// read whole into interleaved float samples at the file's own rate and channels. A file that
// cannot be decoded is named with FFmpeg's reason.

#include <string>

#include "common/pcm_sound.h"
#include "common/result.h"
#include "common/sound_file.h"

namespace quenda {

// Longer sound is refused rather than filling the memory: two channels for about 40 minutes.
inline constexpr std::size_t kMaxDecodedSamples = std::size_t(1) << 28;

Result<PcmSound> DecodeSoundFile(const std::string& path);

class FfmpegSoundDecoder final : public SoundDecoder {
 public:
  Result<PcmSound> Decode(const std::string& path) const override { return DecodeSoundFile(path); }
};

}  // namespace quenda
