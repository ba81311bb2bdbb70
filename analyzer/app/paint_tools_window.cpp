#include "analyzer/app/paint_tools_window.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QToolButton>
#include <QVBoxLayout>

#include "ui/tool_art.h"

namespace quenda {
namespace {

constexpr int kSwatchSide = 22;
constexpr int kSwatchColumns = 6;

QIcon SwatchIcon(const ColorEntry& entry, bool current) {
  QPixmap picture(kSwatchSide, kSwatchSide);
  picture.fill(QColor(entry.red, entry.green, entry.blue));
  QPainter painter(&picture);
  // The current colour is outlined twice, so it shows on light and dark colours alike.
  painter.setPen(current ? QPen(Qt::black, 3) : QPen(QColor(90, 90, 90), 1));
  painter.drawRect(picture.rect().adjusted(0, 0, -1, -1));
  if (current) {
    painter.setPen(QPen(Qt::white, 1));
    painter.drawRect(picture.rect().adjusted(2, 2, -3, -3));
  }
  return QIcon(picture);
}

QPushButton* Checkable(const QString& caption) {
  auto* button = new QPushButton(caption);
  button->setCheckable(true);
  button->setObjectName(caption);
  return button;
}

QToolButton* RectToggle(const QString& tool, ToolArt art) {
  auto* toggle = new QToolButton;
  toggle->setCheckable(true);
  toggle->setIcon(ToolIcon(art));
  toggle->setObjectName(QStringLiteral("RECT ") + tool);
  toggle->setToolTip(tool + QStringLiteral(" with a rectangle"));
  return toggle;
}

}  // namespace

PaintToolsWindow::PaintToolsWindow(CAnalyzerDoc& doc, QWidget* parent)
    : QDialog(parent, Qt::Tool), doc_(doc) {
  setWindowTitle(QStringLiteral("Quenda Paint Tools"));
  setModal(false);
  auto* layout = new QVBoxLayout(this);

  layout->addWidget(new QLabel(QStringLiteral("View Modes:")));
  views_ = new QButtonGroup(this);
  auto* viewRow = new QGridLayout;
  const char* viewCaptions[] = {"Redline", "Regions", "Result", "Xray"};
  for (int mode = 0; mode < kViewModeCount; ++mode) {
    QPushButton* b = Checkable(QString::fromLatin1(viewCaptions[mode]));
    views_->addButton(b, mode);
    viewRow->addWidget(b, mode / 2, mode % 2);
  }
  layout->addLayout(viewRow);

  layout->addWidget(new QLabel(QStringLiteral("Tools:")));
  tools_ = new QButtonGroup(this);
  auto* toolGrid = new QGridLayout;
  struct ToolButton {
    const char* caption;
    PaintTool tool;
    std::optional<PaintTool> rect;
    ToolArt art;
  };
  const ToolButton toolButtons[] = {
      {"REGIONS", PaintTool::RegionFill, {}, ToolArt::Bucket},
      {"PEN", PaintTool::RegionPen, {}, ToolArt::Pen},
      {"ANIMFILL", PaintTool::AnimFill, {}, ToolArt::LineBucket},
      {"ANIMPEN", PaintTool::AnimBrush, PaintTool::AnimBrushRect, ToolArt::BrushRectangle},
      {"RUBBER", PaintTool::Rubber, PaintTool::RubberRect, ToolArt::EraserRectangle},
      {"UNRUB", PaintTool::UnRubber, PaintTool::UnRubberRect, ToolArt::UneraseRectangle},
  };
  int row = 0;
  for (const ToolButton& t : toolButtons) {
    QPushButton* b = Checkable(QString::fromLatin1(t.caption));
    tools_->addButton(b, int(t.tool));
    toolGrid->addWidget(b, row, 0);
    if (t.rect) {
      QToolButton* toggle = RectToggle(QString::fromLatin1(t.caption), t.art);
      tools_->addButton(toggle, int(*t.rect));
      toolGrid->addWidget(toggle, row, 1);
    }
    ++row;
  }
  layout->addLayout(toolGrid);

  layout->addWidget(new QLabel(QStringLiteral("Brush Size:")));
  brushes_ = new QButtonGroup(this);
  auto* brushRow = new QHBoxLayout;
  for (int size = kMinBrushSize; size <= kMaxBrushSize; ++size) {
    auto* b = new QToolButton;
    b->setText(QString::number(size));
    b->setCheckable(true);
    brushes_->addButton(b, size);
    brushRow->addWidget(b);
  }
  layout->addLayout(brushRow);

  auto* autoPaint = new QPushButton(QStringLiteral("AUTO PAINT"));
  autoPaint->setObjectName(autoPaint->text());
  layout->addWidget(autoPaint);

  palette_ = new QScrollArea;
  palette_->setWidgetResizable(true);
  palette_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  palette_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  auto* swatchHolder = new QWidget;
  swatchGrid_ = new QGridLayout(swatchHolder);
  swatchGrid_->setSpacing(2);
  swatchGrid_->setAlignment(Qt::AlignTop | Qt::AlignLeft);
  palette_->setWidget(swatchHolder);
  palette_->setFixedHeight(5 * (kSwatchSide + 8));
  layout->addWidget(palette_);

  connect(views_, &QButtonGroup::idClicked, this,
          [this](int mode) { doc_.SetViewMode(ViewMode(mode)); });
  connect(tools_, &QButtonGroup::idClicked, this,
          [this](int tool) { doc_.SetPaintTool(PaintTool(tool)); });
  connect(brushes_, &QButtonGroup::idClicked, this, [this](int size) { doc_.SetBrushSize(size); });
  connect(autoPaint, &QPushButton::clicked, this, [this] { doc_.AutoPaintFromTools(); });
  doc_.AddListener(this);
  ShowState();
  ShowPalette();
}

PaintToolsWindow::~PaintToolsWindow() {
  doc_.RemoveListener(this);
}

QAbstractButton* PaintToolsWindow::button(const QString& caption) const {
  return findChild<QAbstractButton*>(caption);
}

QToolButton* PaintToolsWindow::brushButton(int size) const {
  return qobject_cast<QToolButton*>(brushes_->button(size));
}

QToolButton* PaintToolsWindow::swatch(int color) const {
  return color >= 0 && std::size_t(color) < swatches_.size() ? swatches_[std::size_t(color)]
                                                             : nullptr;
}

void PaintToolsWindow::OnUpdate(const AnalyzerUpdate& update) {
  if (update.hint == AnalyzerHint::StateChanged) ShowState();
  if (update.hint == AnalyzerHint::ColorsChanged) ShowPalette();
}

void PaintToolsWindow::ShowState() {
  views_->button(int(doc_.viewMode()))->setChecked(true);
  tools_->button(int(doc_.tool()))->setChecked(true);
  brushes_->button(doc_.brushSize())->setChecked(true);
}

void PaintToolsWindow::ShowPalette() {
  const ColorSet& colors = doc_.colors();
  while (swatches_.size() > std::size_t(colors.count)) {
    delete swatches_.back();
    swatches_.pop_back();
  }
  while (swatches_.size() < std::size_t(colors.count)) {
    const int index = int(swatches_.size());
    auto* s = new QToolButton;
    s->setAutoRaise(true);
    s->setIconSize(QSize(kSwatchSide, kSwatchSide));
    connect(s, &QToolButton::clicked, this, [this, index] { doc_.SetCurrentColor(index); });
    swatchGrid_->addWidget(s, index / kSwatchColumns, index % kSwatchColumns);
    s->show();
    swatches_.push_back(s);
  }
  for (int i = 0; i < colors.count; ++i) {
    const ColorEntry& entry = colors.entries[std::size_t(i)];
    swatches_[std::size_t(i)]->setIcon(SwatchIcon(entry, i == doc_.currentColor()));
    swatches_[std::size_t(i)]->setToolTip(QString::fromStdString(entry.name));
  }
}

}  // namespace quenda
