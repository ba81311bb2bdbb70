#include "dopegrid/app/seq_view.h"

#include <QImage>
#include <QPixmap>
#include <algorithm>

#include "common/drawing_scan.h"
#include "dopegrid/app/dopegrid_view.h"
#include "dopegrid/app/picture_drag.h"

namespace quenda {
namespace {

constexpr int kIconSide = 48;

// The sequence's first drawing that can be read, reduced to an icon; a blank sheet otherwise.
QIcon SequenceIcon(const DrawingSequence& sequence, Prompt& prompt) {
  QPixmap blank(kIconSide, kIconSide);
  blank.fill(Qt::white);
  for (int i = 0; i < int(sequence.frames.size()); ++i) {
    auto drawing = ReadDrawingScan(FramePath(sequence, i, prompt), ScanReader::CelViewer);
    if (!drawing) continue;
    const Raster& picture = drawing->scan.picture;
    QImage grey(picture.width(), picture.height(), QImage::Format_Grayscale8);
    for (int y = 0; y < picture.height(); ++y)  // rows bottom first in the raster
      std::copy_n(picture.Row(picture.height() - 1 - y), picture.width(), grey.scanLine(y));
    return QIcon(QPixmap::fromImage(
        grey.scaled(kIconSide, kIconSide, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
  }
  return QIcon(blank);
}

// Icons are read from disk, so only questions nobody should see come from there.
class SilentPrompt final : public Prompt {
 public:
  void Message(std::string_view, MessageIcon) override {}
  bool AskYesNo(std::string_view) override { return false; }
  bool AskOkCancel(std::string_view) override { return false; }
  std::optional<std::string> PickFile(std::string_view, std::string_view,
                                      std::string_view) override {
    return std::nullopt;
  }
  std::optional<std::string> PickDirectory(std::string_view, std::string_view) override {
    return std::nullopt;
  }
};

}  // namespace

CSeqView::CSeqView(CDopegridDoc& doc, QWidget* parent) : QListWidget(parent), doc_(doc) {
  setViewMode(QListView::IconMode);
  setIconSize(QSize(kIconSide, kIconSide));
  setResizeMode(QListView::Adjust);
  setMovement(QListView::Static);
  setSelectionMode(QAbstractItemView::SingleSelection);
  connect(this, &QListWidget::currentRowChanged, this, [this](int row) {
    if (!filling_) doc_.SelectSequence(std::max(row, 0));
  });
  doc_.AddListener(this);
  Refill();
}

CSeqView::~CSeqView() {
  doc_.RemoveListener(this);
}

void CSeqView::OnUpdate(const SheetHint& hint) {
  if (HasHint(hint, SheetHint::Sequences)) Refill();
}

void CSeqView::Refill() {
  filling_ = true;
  clear();
  SilentPrompt silent;
  for (const DrawingSequence& sequence : doc_.sequences())
    addItem(
        new QListWidgetItem(SequenceIcon(sequence, silent), QString::fromStdString(sequence.name)));
  if (count() > 0) setCurrentRow(doc_.selectedSequence());
  filling_ = false;
}

CSeqContentView::CSeqContentView(CDopegridDoc& doc, QWidget* parent)
    : QListWidget(parent), doc_(doc) {
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setDragEnabled(true);
  setDragDropMode(QAbstractItemView::DragOnly);
  setDefaultDropAction(Qt::CopyAction);
  connect(this, &QListWidget::itemSelectionChanged, this, [this] { NoteSelection(); });
  doc_.AddListener(this);
  Refill();
}

CSeqContentView::~CSeqContentView() {
  doc_.RemoveListener(this);
}

void CSeqContentView::OnUpdate(const SheetHint& hint) {
  // A new sequence list may hold the first sequence: the frames follow it too.
  if (HasHint(hint, SheetHint::Pictures) || HasHint(hint, SheetHint::Sequences)) Refill();
  if (HasHint(hint, SheetHint::SelectAllPictures)) selectAll();
}

void CSeqContentView::Refill() {
  filling_ = true;
  clear();
  if (doc_.HasSequences()) {
    const int s = doc_.selectedSequence();
    const int frames = int(doc_.sequences()[std::size_t(s)].frames.size());
    for (int i = 0; i < frames; ++i) addItem(QString::fromStdString(doc_.PictureLabel(s, i)));
    for (int p : doc_.selectedPictures()) item(p)->setSelected(true);
  }
  filling_ = false;
}

void CSeqContentView::NoteSelection() {
  if (filling_) return;
  std::vector<int> rows;
  for (const QModelIndex& index : selectionModel()->selectedIndexes()) rows.push_back(index.row());
  doc_.SetSelectedPictures(std::move(rows));
}

QStringList CSeqContentView::mimeTypes() const {
  return {QString::fromLatin1(kPicturesMimeType)};
}

QMimeData* CSeqContentView::mimeData(const QList<QListWidgetItem*>& items) const {
  PictureDrag drag{doc_.selectedSequence(), {}};
  for (QListWidgetItem* i : items) drag.pictures.push_back(row(i));
  std::sort(drag.pictures.begin(), drag.pictures.end());
  if (drag.pictures.empty()) return nullptr;
  return EncodePictureDrag(drag).release();
}

}  // namespace quenda
