#include "painter/app/painter_dialogs.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>

#include "common/view_geometry.h"
#include "painter/core/painter_texts.h"
#include "ui/tool_art.h"

namespace quenda {
namespace {

QString Q(std::string_view text) {
  return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

QImage ToImage(const Raster& picture) {
  if (picture.empty() || picture.channels() < 3) return {};
  QImage image(picture.width(), picture.height(), QImage::Format_RGB32);
  for (int y = 0; y < picture.height(); ++y) {
    auto* row = reinterpret_cast<QRgb*>(image.scanLine(picture.height() - 1 - y));
    for (int x = 0; x < picture.width(); ++x) {
      const uint8_t* pixel = picture.At(x, y);
      row[x] = qRgb(pixel[2], pixel[1], pixel[0]);
    }
  }
  return image;
}

ColorEntry ToEntry(const ColorEntry& original, const QColor& colour) {
  ColorEntry entry = original;
  entry.red = uint8_t(colour.red());
  entry.green = uint8_t(colour.green());
  entry.blue = uint8_t(colour.blue());
  return entry;
}

// "Edit>>": the system colour chooser, starting from the swatch's colour.
QPushButton* EditButton(ColourSwatch* swatch, QWidget* parent) {
  auto* button = new QPushButton(QStringLiteral("Edit>>"), parent);
  QObject::connect(button, &QPushButton::clicked, parent, [swatch, parent] {
    QColor chosen = QColorDialog::getColor(swatch->colour(), parent);
    if (chosen.isValid()) swatch->SetColour(chosen);
  });
  return button;
}

}  // namespace

namespace {

// An input dialog whose OK waits for a text the check takes.
class CheckedInputDialog final : public QInputDialog {
 public:
  CheckedInputDialog(QWidget* parent, std::function<bool(std::string_view)> acceptable)
      : QInputDialog(parent), acceptable_(std::move(acceptable)) {}

  void done(int result) override {
    if (result == QDialog::Accepted && !acceptable_(textValue().toStdString())) return;
    QInputDialog::done(result);
  }

 private:
  std::function<bool(std::string_view)> acceptable_;
};

}  // namespace

std::optional<std::string> AskAutoPaintFrame(QWidget* parent,
                                             std::function<bool(std::string_view)> acceptable) {
  CheckedInputDialog dialog(parent, std::move(acceptable));
  dialog.setWindowTitle(Q(kAutoPaintFrameTitle));
  dialog.setLabelText(Q(kAutoPaintFramePrompt));
  dialog.setInputMode(QInputDialog::TextInput);
  dialog.setOkButtonText(QStringLiteral("OK"));
  dialog.setCancelButtonText(QStringLiteral("CANCEL"));
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.textValue().toStdString();
}

AutoPaintRangeDialog::AutoPaintRangeDialog(Prompt& prompt, const AutoPaintOptions& options,
                                           QWidget* parent)
    : QDialog(parent),
      prompt_(prompt),
      frameNo_(new QRadioButton(QStringLiteral("Frame No :"))),
      previous_(new QRadioButton(QStringLiteral("Auto Previous"))),
      next_(new QRadioButton(QStringLiteral("Auto Next"))),
      bothKeys_(new QRadioButton(QStringLiteral("Both Keys"))),
      source_(new QLineEdit),
      start_(new QLineEdit),
      end_(new QLineEdit),
      byShapes_(new QCheckBox(Q(kAutoPaintByShapesText))),
      specks_(new QCheckBox(Q(kPaintSpecksText))),
      confidence_(new QSpinBox) {
  setWindowTitle(Q(kAutoPaintRangeTitle));
  byShapes_->setChecked(options.match == AutoPaintMatch::Shapes);
  specks_->setChecked(options.paintSpecks);
  confidence_->setRange(0, kMaxConfidence);
  confidence_->setValue(options.confidence);
  confidence_->setToolTip(tr("By shapes, regions matched less surely than this stay unfilled"));
  // The confidence speaks of matching by shapes only.
  confidence_->setEnabled(byShapes_->isChecked());
  connect(byShapes_, &QCheckBox::toggled, confidence_, &QWidget::setEnabled);
  auto* sourceGroup = new QGroupBox(QStringLiteral("Source Frame"));
  auto* sourceLayout = new QGridLayout(sourceGroup);
  sourceLayout->addWidget(frameNo_, 0, 0);
  sourceLayout->addWidget(source_, 0, 1);
  sourceLayout->addWidget(previous_, 1, 0, 1, 2);
  sourceLayout->addWidget(next_, 2, 0, 1, 2);
  sourceLayout->addWidget(bothKeys_, 3, 0, 1, 2);
  previous_->setChecked(true);
  auto* rangeGroup = new QGroupBox(QStringLiteral("Range"));
  auto* rangeLayout = new QFormLayout(rangeGroup);
  rangeLayout->addRow(QStringLiteral("Start Frame :"), start_);
  rangeLayout->addRow(QStringLiteral("End Frame :"), end_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  connect(buttons, &QDialogButtonBox::accepted, this, &AutoPaintRangeDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  auto* groups = new QHBoxLayout;
  groups->addWidget(sourceGroup);
  groups->addWidget(rangeGroup);
  layout->addLayout(groups);
  auto* choices = new QHBoxLayout;
  choices->addWidget(byShapes_);
  choices->addWidget(specks_);
  choices->addWidget(new QLabel(QStringLiteral("Confidence :")));
  choices->addWidget(confidence_);
  layout->addLayout(choices);
  layout->addWidget(buttons);
}

AutoPaintRangeFields AutoPaintRangeDialog::fields() const {
  AutoPaintRangeFields fields;
  fields.source = frameNo_->isChecked()    ? RangeSource::FrameNo
                  : next_->isChecked()     ? RangeSource::AutoNext
                  : bothKeys_->isChecked() ? RangeSource::BothKeys
                                           : RangeSource::AutoPrevious;
  fields.sourceText = source_->text().toStdString();
  fields.startText = start_->text().toStdString();
  fields.endText = end_->text().toStdString();
  fields.match = byShapes_->isChecked() ? AutoPaintMatch::Shapes : AutoPaintMatch::Vote;
  fields.paintSpecks = specks_->isChecked();
  fields.confidence = confidence_->value();
  return fields;
}

void AutoPaintRangeDialog::accept() {
  if (Status problem = CPainterDoc::CheckRangeFields(fields()); !problem) {
    prompt_.Message(problem.message(), MessageIcon::Warning);
    return;
  }
  QDialog::accept();
}

ColourSwatch::ColourSwatch(QWidget* parent) : QWidget(parent) {
  setMinimumSize(40, 20);
}

void ColourSwatch::SetColour(const QColor& colour) {
  colour_ = colour;
  update();
}

void ColourSwatch::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), colour_);
  painter.setPen(QColor(64, 64, 64));
  painter.drawLine(rect().topLeft(), rect().topRight());
  painter.drawLine(rect().topLeft(), rect().bottomLeft());
  painter.setPen(QColor(255, 255, 255));
  painter.drawLine(rect().bottomLeft(), rect().bottomRight());
  painter.drawLine(rect().topRight(), rect().bottomRight());
}

ReferenceFrame::ReferenceFrame(const Raster* picture, QWidget* parent)
    : QWidget(parent), image_(picture != nullptr ? ToImage(*picture) : QImage()) {
  setMinimumSize(160, 120);
  setMouseTracking(true);
  SetTool(Tool::Picker);
}

void ReferenceFrame::SetTool(Tool tool) {
  tool_ = tool;
  setCursor(ToolCursor(tool == Tool::Hand ? ToolArt::Hand : ToolArt::Picker));
}

void ReferenceFrame::resizeEvent(QResizeEvent*) {
  // Centred at first: half of what the picture has beyond the frame.
  offset_ = QPoint(ReferenceStartOffset(image_.width(), inner().width()),
                   ReferenceStartOffset(image_.height(), inner().height()));
}

void ReferenceFrame::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().window());
  painter.setPen(QColor(128, 128, 128));
  painter.drawRect(rect().adjusted(0, 0, -1, -1));
  if (image_.isNull()) {
    painter.setPen(palette().text().color());
    painter.drawText(rect(), Qt::AlignCenter | Qt::TextWordWrap, Q(kNoReferencePicture));
    return;
  }
  painter.setClipRect(inner());
  painter.drawImage(inner().topLeft(), image_, QRect(offset_, inner().size()));
}

void ReferenceFrame::mousePressEvent(QMouseEvent* event) {
  if (image_.isNull() || !inner().contains(event->position().toPoint())) return;
  pressed_ = true;
  last_ = event->position().toPoint();
}

void ReferenceFrame::mouseMoveEvent(QMouseEvent* event) {
  if (!pressed_ || tool_ != Tool::Hand) return;
  const QPoint now = event->position().toPoint();
  offset_ = QPoint(DragReferenceOffset(offset_.x(), last_.x(), now.x(), image_.width()),
                   DragReferenceOffset(offset_.y(), last_.y(), now.y(), image_.height()));
  last_ = now;
  update();
}

void ReferenceFrame::mouseReleaseEvent(QMouseEvent* event) {
  if (!pressed_) return;
  pressed_ = false;
  const QPoint at = event->position().toPoint();
  if (tool_ != Tool::Picker || !inner().contains(at)) return;
  const QPoint pixel = at - inner().topLeft() + offset_;
  // Outside the picture the frame shows its background, which is what the screen has there.
  QColor colour =
      image_.rect().contains(pixel) ? QColor(image_.pixel(pixel)) : palette().window().color();
  emit Picked(colour);
}

ColorInformationDialog::ColorInformationDialog(const CPainterDoc& doc, const QString& name,
                                               const QColor& colour, bool fixedName,
                                               QWidget* parent)
    : QDialog(parent),
      name_(new QLineEdit(name)),
      swatch_(new ColourSwatch),
      hand_(new QToolButton),
      picker_(new QToolButton) {
  setWindowTitle(Q(kColorInformationTitle));
  name_->setMaxLength(8);
  name_->setReadOnly(fixedName);
  swatch_->SetColour(colour);
  hand_->setIcon(ToolIcon(ToolArt::Hand));
  picker_->setIcon(ToolIcon(ToolArt::Picker));
  hand_->setIconSize(QSize(24, 24));
  picker_->setIconSize(QSize(24, 24));
  hand_->setToolTip(tr("Move the picture"));
  picker_->setToolTip(tr("Take a colour from the picture"));
  for (QToolButton* button : {hand_, picker_}) {
    button->setCheckable(true);
    button->setAutoExclusive(true);
  }
  picker_->setChecked(true);
  const bool loaded = doc.referenceLoaded();
  hand_->setEnabled(loaded);
  picker_->setEnabled(loaded);
  reference_ = new ReferenceFrame(loaded ? &doc.referencePicture() : nullptr);
  connect(hand_, &QToolButton::toggled, this, [this](bool on) {
    if (on) reference_->SetTool(ReferenceFrame::Tool::Hand);
  });
  connect(picker_, &QToolButton::toggled, this, [this](bool on) {
    if (on) reference_->SetTool(ReferenceFrame::Tool::Picker);
  });
  connect(reference_, &ReferenceFrame::Picked, swatch_, &ColourSwatch::SetColour);

  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("Name:"), name_);
  auto* colourRow = new QHBoxLayout;
  colourRow->addWidget(swatch_, 1);
  colourRow->addWidget(EditButton(swatch_, this));
  form->addRow(QStringLiteral("Color:"), colourRow);
  auto* toolsColumn = new QVBoxLayout;
  toolsColumn->addWidget(hand_);
  toolsColumn->addWidget(picker_);
  toolsColumn->addStretch();
  auto* pictureRow = new QHBoxLayout;
  pictureRow->addWidget(reference_, 1);
  pictureRow->addLayout(toolsColumn);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addLayout(pictureRow, 1);
  layout->addWidget(buttons);
}

QString ColorInformationDialog::name() const {
  return name_->text();
}

QColor ColorInformationDialog::colour() const {
  return swatch_->colour();
}

LineAndUnfilledDialog::LineAndUnfilledDialog(const ColorSet& colors, QWidget* parent)
    : QDialog(parent),
      lineEntry_(colors.entries[kLineColor]),
      unfilledEntry_(colors.entries[kUnfilledColor]),
      line_(new ColourSwatch),
      unfilled_(new ColourSwatch) {
  setWindowTitle(Q(kLineAndUnfilledTitle));
  line_->SetColour(QColor(lineEntry_.red, lineEntry_.green, lineEntry_.blue));
  unfilled_->SetColour(QColor(unfilledEntry_.red, unfilledEntry_.green, unfilledEntry_.blue));
  auto* grid = new QGridLayout;
  grid->addWidget(new QLabel(QStringLiteral("Region Line Color")), 0, 0);
  grid->addWidget(line_, 0, 1);
  grid->addWidget(EditButton(line_, this), 0, 2);
  grid->addWidget(new QLabel(QStringLiteral("Unfilled Color")), 1, 0);
  grid->addWidget(unfilled_, 1, 1);
  grid->addWidget(EditButton(unfilled_, this), 1, 2);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addWidget(buttons);
}

ColorEntry LineAndUnfilledDialog::line() const {
  return ToEntry(lineEntry_, line_->colour());
}

ColorEntry LineAndUnfilledDialog::unfilled() const {
  return ToEntry(unfilledEntry_, unfilled_->colour());
}

}  // namespace quenda
