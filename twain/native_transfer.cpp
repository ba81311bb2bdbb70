// The native transfer: the device's lines, read in blocks with STOP between them, become a
// bottom-up bitmap with rows padded to four bytes.
#include <algorithm>
#include <cstring>
#include <vector>

#include "twain/twain_session.h"

namespace quenda::twain {
namespace {

constexpr std::size_t kReadBlock = 64 * 1024;

}  // namespace

uint16_t TwainSession::NativeTransfer(DeviceBitmap& bitmap) {
  ImageInfo info;
  if (DeviceStatus status = device_->GetImageInfo(info); status != DeviceStatus::Good)
    return Fail(status);
  const int channels = info.type == PixelType::Color ? 3 : 1;
  if (info.bitsPerSample != 8 || info.width < 1) return Fail(DeviceStatus::Unsupported);
  const std::size_t lineBytes = std::size_t(info.width) * channels;
  if (info.bytesPerLine < int(lineBytes)) return Fail(DeviceStatus::Invalid);

  // Lines arrive top first in blocks that need not end on a line; keep only the pixels of each.
  std::vector<uint8_t> lines;
  if (info.length > 0) lines.reserve(lineBytes * std::size_t(info.length));
  std::vector<uint8_t> block(std::max<std::size_t>(kReadBlock, info.bytesPerLine));
  std::vector<uint8_t> partial;
  partial.reserve(info.bytesPerLine);
  const long long total = info.length > 0 ? (long long)info.bytesPerLine * info.length : -1;
  long long received = 0;
  for (;;) {
    if (progress_ && progress_->StopRequested()) {
      device_->Cancel();
      return kRcCancel;
    }
    std::size_t got = 0;
    DeviceStatus status = device_->Read(block, got);
    if (status == DeviceStatus::EndOfData) break;
    if (status == DeviceStatus::Cancelled) return kRcCancel;
    if (status != DeviceStatus::Good) return Fail(status);
    received += (long long)got;
    for (std::size_t i = 0; i < got;) {
      std::size_t take = std::min<std::size_t>(got - i, info.bytesPerLine - partial.size());
      partial.insert(partial.end(), block.begin() + i, block.begin() + i + take);
      i += take;
      if (partial.size() == std::size_t(info.bytesPerLine)) {
        lines.insert(lines.end(), partial.begin(), partial.begin() + lineBytes);
        partial.clear();
      }
    }
    if (progress_ && total > 0) progress_->SetPercent(int(received * 100 / total));
  }
  const int height = int(lines.size() / lineBytes);
  if (height < 1 || (info.length > 0 && height != info.length)) return Fail(DeviceStatus::IoError);

  bitmap.width = info.width;
  bitmap.height = height;
  bitmap.bitsPerPixel = channels * 8;
  bitmap.palette = channels == 1 ? GreyPalette() : std::vector<PaletteEntry>{};
  const std::size_t rowBytes = bitmap.RowBytes();
  bitmap.bits.assign(rowBytes * height, 0);
  for (int line = 0; line < height; ++line) {
    const uint8_t* from = lines.data() + lineBytes * line;
    uint8_t* to = bitmap.bits.data() + rowBytes * (height - 1 - line);
    if (channels == 1) {
      std::memcpy(to, from, lineBytes);
    } else {
      for (int x = 0; x < info.width; ++x) {  // red, green, blue -> blue, green, red
        to[3 * x] = from[3 * x + 2];
        to[3 * x + 1] = from[3 * x + 1];
        to[3 * x + 2] = from[3 * x];
      }
    }
  }
  pendingTransfers_ = 0;
  return kRcXferDone;
}

}  // namespace quenda::twain
