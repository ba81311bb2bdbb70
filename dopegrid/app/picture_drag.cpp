#include "dopegrid/app/picture_drag.h"

#include <QStringList>

#include "dopegrid/app/dopegrid_view.h"

namespace quenda {

// "sequence:picture,picture,...", in plain text: it never leaves the program.
std::unique_ptr<QMimeData> EncodePictureDrag(const PictureDrag& drag) {
  QStringList pictures;
  for (int p : drag.pictures) pictures << QString::number(p);
  auto data = std::make_unique<QMimeData>();
  data->setData(QString::fromLatin1(kPicturesMimeType),
                (QString::number(drag.sequence) + ':' + pictures.join(',')).toLatin1());
  return data;
}

std::optional<PictureDrag> DecodePictureDrag(const QMimeData& data) {
  const QString text = QString::fromLatin1(data.data(QString::fromLatin1(kPicturesMimeType)));
  const QStringList parts = text.split(':');
  if (parts.size() != 2) return std::nullopt;
  PictureDrag drag;
  bool ok = false;
  drag.sequence = parts[0].toInt(&ok);
  if (!ok) return std::nullopt;
  for (const QString& p : parts[1].split(',', Qt::SkipEmptyParts)) {
    drag.pictures.push_back(p.toInt(&ok));
    if (!ok) return std::nullopt;
  }
  if (drag.pictures.empty()) return std::nullopt;
  return drag;
}

}  // namespace quenda
