#pragma once
// The pictures a drag from the Picture Holder carries: the sequence and the indices of the
// chosen frames, in list order.

#include <QMimeData>
#include <memory>
#include <optional>
#include <vector>

namespace quenda {

struct PictureDrag {
  int sequence = 0;
  std::vector<int> pictures;
};

std::unique_ptr<QMimeData> EncodePictureDrag(const PictureDrag& drag);
// Nothing when the data holds no pictures of ours.
std::optional<PictureDrag> DecodePictureDrag(const QMimeData& data);

}  // namespace quenda
