#include "ui/picture_format_choice.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>

namespace quenda {
namespace {

constexpr PictureFormat kFormats[] = {PictureFormat::Targa, PictureFormat::Png, PictureFormat::Tiff,
                                      PictureFormat::Exr};
constexpr const char* kFormatNames[] = {"Targa (.tga)", "PNG (.png)", "TIFF (.tif)",
                                        "OpenEXR (.exr, linear half float)"};

}  // namespace

PictureFormatChoice::PictureFormatChoice(QWidget* parent) : QWidget(parent) {
  format_ = new QComboBox(this);
  format_->setObjectName(QStringLiteral("format"));
  for (const char* name : kFormatNames) format_->addItem(QString::fromLatin1(name));
  depth_ = new QComboBox(this);
  depth_->setObjectName(QStringLiteral("depth"));
  depth_->addItem(QStringLiteral("8 bits"));
  depth_->addItem(QStringLiteral("16 bits"));
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(0, 0, 0, 0);
  row->addWidget(new QLabel(QStringLiteral("Format :"), this));
  row->addWidget(format_, 1);
  row->addWidget(new QLabel(QStringLiteral("Depth :"), this));
  row->addWidget(depth_);
  connect(format_, &QComboBox::currentIndexChanged, this, [this] { Update(); });
  Update();
}

PictureFormat PictureFormatChoice::format() const {
  const int index = format_->currentIndex();
  return index >= 0 && index < int(std::size(kFormats)) ? kFormats[index] : PictureFormat::Targa;
}

int PictureFormatChoice::depth() const {
  return depth_->isEnabled() && depth_->currentIndex() == 1 ? kFrameDepth16 : kFrameDepth8;
}

void PictureFormatChoice::Update() {
  const PictureFormat chosen = format();
  depth_->setEnabled(chosen == PictureFormat::Png || chosen == PictureFormat::Tiff);
}

}  // namespace quenda
