#pragma once
// Writing one rendered or composed frame in the format the user chose: the suite's Targa as
// always, or PNG, TIFF or OpenEXR through common/studio_picture.h. The same picture and options
// give the same bytes, so split runs write what one whole run writes.

#include <string>
#include <string_view>

#include "common/atomic_file.h"
#include "common/picture_format.h"
#include "common/raster.h"
#include "common/result.h"

namespace quenda {

struct FramePictureOptions {
  PictureFormat format = PictureFormat::Targa;
  int depth = kFrameDepth8;  // PNG and TIFF only
  FrameAlpha alpha = FrameAlpha::Coverage;
  double dpi = 0;  // written into the studio formats when above 0
};

// `picture` has 3 (B, G, R) or 4 (B, G, R, A) channels, bottom row first. A failure carries the
// caller's texts as the atomic writer words them.
Status WriteFramePicture(const std::string& path, ConstRasterView picture,
                         const FramePictureOptions& options, WriteMessages messages);

// `path` with its extension (from the last dot after the last separator) replaced by the
// format's.
std::string WithPictureExtension(std::string_view path, PictureFormat format);

}  // namespace quenda
