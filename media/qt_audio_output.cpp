#include "media/qt_audio_output.h"

#include <QAudioSink>
#include <QMediaDevices>
#include <algorithm>

namespace quenda {

QAudioFormat ToQtAudioFormat(const WaveFormat& format) {
  QAudioFormat qt;
  if (format.formatTag != kWaveFormatPcm || format.channels < 1 || format.samplesPerSecond < 1)
    return qt;
  if (format.bitsPerSample == 8)
    qt.setSampleFormat(QAudioFormat::UInt8);
  else if (format.bitsPerSample == 16)
    qt.setSampleFormat(QAudioFormat::Int16);
  else
    return qt;
  qt.setSampleRate(int(format.samplesPerSecond));
  qt.setChannelCount(format.channels);
  return qt;
}

QtAudioOutput::QtAudioOutput() = default;

QtAudioOutput::~QtAudioOutput() {
  Stop();
}

std::optional<QAudioDevice> QtAudioOutput::DeviceFor(const QAudioFormat& format) const {
  if (!format.isValid()) return std::nullopt;
  QAudioDevice preferred = QMediaDevices::defaultAudioOutput();
  if (!preferred.isNull() && preferred.isFormatSupported(format)) return preferred;
  for (const QAudioDevice& device : QMediaDevices::audioOutputs())
    if (device.isFormatSupported(format)) return device;
  return std::nullopt;
}

bool QtAudioOutput::CanPlay(const WaveFormat& format) {
  return DeviceFor(ToQtAudioFormat(format)).has_value();
}

bool QtAudioOutput::Open(const WaveFormat& format) {
  QAudioFormat qt = ToQtAudioFormat(format);
  auto device = DeviceFor(qt);
  if (!device) return false;
  sink_ = std::make_unique<QAudioSink>(*device, qt);
  return sink_->error() == QAudio::NoError;
}

bool QtAudioOutput::Play(const std::vector<uint8_t>& samples, std::size_t startByte) {
  if (!sink_) return false;
  Stop();
  if (startByte >= samples.size()) return true;  // nothing left to hear from here on
  buffer_.setData(QByteArray::fromRawData(reinterpret_cast<const char*>(samples.data()) + startByte,
                                          qsizetype(samples.size() - startByte)));
  if (!buffer_.open(QIODevice::ReadOnly)) return false;
  sink_->start(&buffer_);
  return sink_->error() == QAudio::NoError;
}

void QtAudioOutput::Stop() {
  if (sink_) sink_->stop();
  buffer_.close();
}

std::optional<double> QtAudioOutput::PlayedMs() {
  if (!sink_ || sink_->state() != QAudio::ActiveState) return std::nullopt;
  // What was handed to the device less what still waits in its buffer.
  const qint64 queued = std::max<qint64>(sink_->bufferSize() - sink_->bytesFree(), 0);
  const qint64 queuedUSecs = sink_->format().durationForBytes(qint32(queued));
  return double(std::max<qint64>(sink_->processedUSecs() - queuedUSecs, 0)) / 1000.0;
}

}  // namespace quenda
