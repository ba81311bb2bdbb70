#pragma once
// Sound on the system's output device through Qt Multimedia.

#include <QAudioDevice>
#include <QAudioFormat>
#include <QBuffer>
#include <memory>

#include "common/audio_output.h"

class QAudioSink;

namespace quenda {

class QtAudioOutput final : public AudioOutput {
 public:
  QtAudioOutput();
  ~QtAudioOutput() override;

  bool CanPlay(const WaveFormat& format) override;
  bool Open(const WaveFormat& format) override;
  bool Play(const std::vector<uint8_t>& samples, std::size_t startByte) override;
  void Stop() override;
  std::optional<double> PlayedMs() override;

 private:
  std::optional<QAudioDevice> DeviceFor(const QAudioFormat& format) const;

  std::unique_ptr<QAudioSink> sink_;
  QBuffer buffer_;
};

// The Qt description of a wave format; invalid for formats Qt cannot play.
QAudioFormat ToQtAudioFormat(const WaveFormat& format);

}  // namespace quenda
