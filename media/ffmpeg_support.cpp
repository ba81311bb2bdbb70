#include "media/ffmpeg_support.h"

#include <mutex>

namespace quenda::media {

void QuietLibraryLog() {
  static std::once_flag once;
  std::call_once(once, [] { av_log_set_level(AV_LOG_FATAL); });
}

}  // namespace quenda::media
