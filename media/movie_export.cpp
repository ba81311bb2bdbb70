#include "media/movie_export.h"

#include <cstdio>

#include "media/sound_decoder.h"

namespace quenda {

MovieExport::MovieExport(MovieExportSettings settings, int firstFrame)
    : settings_(std::move(settings)), firstFrame_(firstFrame) {}

bool MovieExport::LoadSound(Prompt& prompt) {
  if (!settings_.soundPath) return true;
  Result<PcmSound> decoded = DecodeSoundFile(*settings_.soundPath);
  if (!decoded) {
    prompt.Message(decoded.message(), MessageIcon::Error);
    return false;
  }
  sound_ = std::move(*decoded);
  return true;
}

bool MovieExport::Take(const Raster& picture, Prompt& prompt) {
  if (!opened_) {
    MovieEncoderSettings e = settings_.encoder;
    e.width = picture.width();
    e.height = picture.height();
    e.sound = settings_.soundPath ? &sound_ : nullptr;
    e.soundStartFrame = settings_.soundStart - firstFrame_;
    if (Status opened = encoder_.Open(settings_.path, e); !opened) {
      prompt.Message(opened.message(), MessageIcon::Error);
      return false;
    }
    opened_ = true;
    width_ = picture.width();
    height_ = picture.height();
  }
  if (Status written = encoder_.WriteFrame(picture); !written) {
    prompt.Message(written.message(), MessageIcon::Error);
    opened_ = false;
    return false;
  }
  return true;
}

bool MovieExport::End(bool made, bool stopped, Prompt& prompt) {
  if ((!made && !stopped) || !opened_ || encoder_.framesWritten() == 0) {
    encoder_.Discard();
    return false;
  }
  if (Status finished = encoder_.Finish(); !finished) {
    prompt.Message(finished.message(), MessageIcon::Error);
    return false;
  }
  char seconds[32];
  std::snprintf(seconds, sizeof seconds, "%.2f", encoder_.seconds());
  std::string text = "Wrote " + settings_.path + ": " + std::to_string(encoder_.framesWritten()) +
                     " frames at " + FrameRateText(settings_.encoder.rate) + " per second, " +
                     seconds + " seconds.";
  if (encoder_.paddedWidth() != width_ || encoder_.paddedHeight() != height_)
    text += "\nThe frames are " + std::to_string(width_) + "x" + std::to_string(height_) +
            "; H.264 needs even sides, so the movie is " + std::to_string(encoder_.paddedWidth()) +
            "x" + std::to_string(encoder_.paddedHeight()) + ", padded with the background.";
  prompt.Message(text, MessageIcon::Information);
  return true;
}

}  // namespace quenda
