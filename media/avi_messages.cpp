#include "media/avi_messages.h"

#include <cerrno>

extern "C" {
#include <libavutil/error.h>
}

namespace quenda {

std::string_view WriterMessageFor(int ffmpegError) {
  switch (ffmpegError) {
    case AVERROR(ENOMEM):
      return kAviNoMemory;
    case AVERROR_INVALIDDATA:
      return kAviBadFormat;
    case AVERROR(EACCES):
    case AVERROR(EPERM):
    case AVERROR(EROFS):
      return kAviReadOnly;
    case AVERROR(ENOENT):
    case AVERROR(ENOTDIR):
    case AVERROR(EISDIR):
      return kAviFileOpen;
    case AVERROR_ENCODER_NOT_FOUND:
      return kAviNoCompressor;
    case AVERROR(EINVAL):
    case AVERROR(ENOSYS):
    case AVERROR_PATCHWELCOME:
      return kAviUnsupported;
    case AVERROR_MUXER_NOT_FOUND:
    case AVERROR_PROTOCOL_NOT_FOUND:
      return kAviNoHandler;
    default:
      return kAviUnknown;
  }
}

std::string_view PlayerMessageFor(int ffmpegError) {
  switch (ffmpegError) {
    case AVERROR(ENOMEM):
      return kPlayerNoMemory;
    case AVERROR(EIO):
      return kPlayerFileRead;
    case AVERROR(ENOENT):
    case AVERROR(EACCES):
    case AVERROR(EPERM):
    case AVERROR(ENOTDIR):
    case AVERROR(EISDIR):
      return kPlayerFileOpen;
    case AVERROR_STREAM_NOT_FOUND:
      return kPlayerNoVideo;
    case AVERROR_INVALIDDATA:
    case AVERROR_EOF:  // the file ends inside its own headers
      return kPlayerBadFormat;
    case AVERROR_DEMUXER_NOT_FOUND:
    case AVERROR_PROTOCOL_NOT_FOUND:
      return kPlayerNoHandler;
    default:
      return kPlayerUnknown;
  }
}

}  // namespace quenda
