// A picture codec module as another build of the suite would make it: the entry is there,
// its table is of another version, so a program must refuse it rather than call it.
#include "common/studio_picture_codec.h"

namespace {
constexpr quenda::StudioPictureCodec kOtherBuild{quenda::kStudioPictureCodecVersion + 1,
                                                 sizeof(quenda::StudioPictureCodec), nullptr,
                                                 nullptr, nullptr};
}  // namespace

extern "C" const quenda::StudioPictureCodec* quenda_studio_picture_codec() {
  return &kOtherBuild;
}
