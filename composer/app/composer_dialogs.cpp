#include "composer/app/composer_dialogs.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QVBoxLayout>
#include <climits>
#include <cmath>

#include "composer/core/effect_parameters.h"

namespace quenda {

namespace {

QString Q(std::string_view text) {
  return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

// An unreadable number counts as out of range, so the field's range message names it.
int IntOf(const QLineEdit* field) {
  bool ok = false;
  int value = field->text().trimmed().toInt(&ok);
  return ok ? value : INT_MIN;
}

double DoubleOf(const QLineEdit* field) {
  bool ok = false;
  double value = field->text().trimmed().toDouble(&ok);
  return ok ? value : NAN;
}

QLineEdit* NamedField(QWidget* owner, const char* name, const QString& text) {
  auto* field = new QLineEdit(text, owner);
  field->setObjectName(QString::fromLatin1(name));
  return field;
}

QString Number(double value) {
  return QString::number(value, 'g', 10);
}

QDialogButtonBox* OkCancel(QDialog* dialog) {
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
  QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
  return buttons;
}

const char* const kEdgeNames[] = {"Stop", "Hold", "Loop", "Ping Pong"};

}  // namespace

class ColorField final : public QWidget {
 public:
  ColorField(uint32_t color, QWidget* parent) : QWidget(parent), color_(color) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    swatch_ = new QLabel(this);
    swatch_->setFixedSize(48, 20);
    swatch_->setFrameShape(QFrame::Box);
    auto* set = new QPushButton(QStringLiteral("Set >> "), this);
    set->setObjectName(QStringLiteral("setColor"));
    layout->addWidget(swatch_);
    layout->addWidget(set);
    layout->addStretch();
    connect(set, &QPushButton::clicked, this, [this] {
      QColor picked = QColorDialog::getColor(qcolor(), this);
      if (picked.isValid())
        Set(uint32_t(picked.red()) | uint32_t(picked.green()) << 8 | uint32_t(picked.blue()) << 16);
    });
    Set(color);
  }
  uint32_t color() const { return color_; }
  void Set(uint32_t color) {
    color_ = color;
    swatch_->setStyleSheet(QStringLiteral("background-color: %1").arg(qcolor().name()));
  }

 private:
  QColor qcolor() const {
    return QColor(int(color_ & 0xFF), int(color_ >> 8 & 0xFF), int(color_ >> 16 & 0xFF));
  }
  uint32_t color_;
  QLabel* swatch_;
};

// ---- New movie --------------------------------------------------------------------------------

NewMovieDialog::NewMovieDialog(Prompt& prompt, QWidget* parent) : QDialog(parent), prompt_(prompt) {
  setWindowTitle(QStringLiteral("Movie Settings"));
  auto* form = new QFormLayout;
  frames_ = NamedField(this, "frames", QStringLiteral("25"));
  presets_ = new QComboBox(this);
  for (const MoviePreset& preset : kMoviePresets) presets_->addItem(Q(preset.name));
  presets_->addItem(QStringLiteral("Custom"));
  width_ = NamedField(this, "width", {});
  height_ = NamedField(this, "height", {});
  aspect_ = NamedField(this, "aspect", {});
  aspectChoice_ = new QComboBox(this);
  aspectChoice_->addItems({"Square", "D1 NTSC", "D1 PAL", "Custom"});
  rate_ = NamedField(this, "rate", {});
  rateChoice_ = new QComboBox(this);
  rateChoice_->addItems({"15", "24", "25", "30", "60", "Custom"});
  color_ = new ColorField(0, this);
  auto pair = [this](QWidget* a, QWidget* b) {
    auto* box = new QWidget(this);
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(a);
    row->addWidget(b);
    return box;
  };
  form->addRow(QStringLiteral("Frames :"), frames_);
  form->addRow(QStringLiteral("Presets :"), presets_);
  form->addRow(QStringLiteral("Width :"), width_);
  form->addRow(QStringLiteral("Height :"), height_);
  form->addRow(QStringLiteral("Pixel Aspect :"), pair(aspect_, aspectChoice_));
  form->addRow(QStringLiteral("Frame Rate :"), pair(rate_, rateChoice_));
  form->addRow(QStringLiteral("BackGround Color :"), color_);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(OkCancel(this));

  connect(presets_, &QComboBox::activated, this, [this](int index) { ChoosePreset(index); });
  connect(aspectChoice_, &QComboBox::activated, this, [this](int index) {
    if (auto aspect = AspectForChoice(AspectChoice(index))) aspect_->setText(Number(*aspect));
  });
  connect(rateChoice_, &QComboBox::activated, this, [this](int index) {
    if (index < 5) rate_->setText(rateChoice_->itemText(index));
  });
  presets_->setCurrentText(Q(kDefaultPreset));
  ChoosePreset(presets_->currentIndex());
}

QLineEdit* NewMovieDialog::field(const char* name) const {
  return findChild<QLineEdit*>(QString::fromLatin1(name));
}

void NewMovieDialog::SetCustom(bool custom) {
  for (QLineEdit* field : {width_, height_, aspect_, rate_}) field->setReadOnly(!custom);
  aspectChoice_->setEnabled(custom);
  rateChoice_->setEnabled(custom);
}

void NewMovieDialog::ChoosePreset(int index) {
  std::optional<MoviePreset> preset = FindMoviePreset(presets_->itemText(index).toStdString());
  SetCustom(!preset);
  if (!preset) return;
  width_->setText(QString::number(preset->width));
  height_->setText(QString::number(preset->height));
  aspect_->setText(Number(preset->pixelAspect));
  aspectChoice_->setCurrentIndex(int(preset->aspectShown));
  rate_->setText(QString::number(preset->frameRate));
  int rateIndex = rateChoice_->findText(QString::number(preset->frameRate));
  rateChoice_->setCurrentIndex(rateIndex >= 0 ? rateIndex : 5);
}

NewMovieValues NewMovieDialog::values() const {
  NewMovieValues v;
  v.frames = IntOf(frames_);
  v.width = IntOf(width_);
  v.height = IntOf(height_);
  v.pixelAspect = float(DoubleOf(aspect_));
  v.frameRate = IntOf(rate_);
  v.backgroundColor = color_->color();
  return v;
}

void NewMovieDialog::accept() {
  if (Status checked = CheckNewMovieValues(values()); !checked) {
    prompt_.Message(checked.message(), MessageIcon::Warning);
    return;
  }
  QDialog::accept();
}

// ---- Settings of an open movie ----------------------------------------------------------------

MovieSettingsDialog::MovieSettingsDialog(Prompt& prompt, const OpenMovieValues& values,
                                         QWidget* parent)
    : QDialog(parent), prompt_(prompt) {
  setWindowTitle(QStringLiteral("Movie Settings"));
  frames_ = NamedField(this, "frames", QString::number(values.frames));
  color_ = new ColorField(values.backgroundColor, this);
  actionSafe_ = NamedField(this, "actionSafe", QString::number(values.actionSafePercent, 'f', 1));
  titleSafe_ = NamedField(this, "titleSafe", QString::number(values.titleSafePercent, 'f', 1));
  units_ = new QComboBox(this);
  units_->addItems({"Pixel", "cm", "Inch"});
  units_->setCurrentIndex(std::clamp(values.units, 0, 2));
  dpi_ = NamedField(this, "dpi", QString::number(values.dpi));
  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("Frames :"), frames_);
  form->addRow(QStringLiteral("BackGround Color :"), color_);
  auto* safe = new QGroupBox(QStringLiteral("Safe Frame Settings (Percentage)"), this);
  auto* safeForm = new QFormLayout(safe);
  safeForm->addRow(QStringLiteral("Action Safe : "), actionSafe_);
  safeForm->addRow(QStringLiteral("Title Safe : "), titleSafe_);
  form->addRow(safe);
  form->addRow(QStringLiteral("Units :"), units_);
  form->addRow(QStringLiteral("Dot Per Inch (dpi) for cm and inch :"), dpi_);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(OkCancel(this));
}

QLineEdit* MovieSettingsDialog::field(const char* name) const {
  return findChild<QLineEdit*>(QString::fromLatin1(name));
}

OpenMovieValues MovieSettingsDialog::values() const {
  OpenMovieValues v;
  v.frames = IntOf(frames_);
  v.backgroundColor = color_->color();
  v.actionSafePercent = DoubleOf(actionSafe_);
  v.titleSafePercent = DoubleOf(titleSafe_);
  v.units = units_->currentIndex();
  v.dpi = IntOf(dpi_);
  return v;
}

void MovieSettingsDialog::accept() {
  if (Status checked = CheckOpenMovieValues(values()); !checked) {
    prompt_.Message(checked.message(), MessageIcon::Warning);
    return;
  }
  QDialog::accept();
}

// ---- Which Key? -------------------------------------------------------------------------------

WhichKeyDialog::WhichKeyDialog(const std::vector<KeyKind>& kinds, QWidget* parent)
    : QDialog(parent), kinds_(kinds) {
  setWindowTitle(QStringLiteral("Which Key?"));
  list_ = new QListWidget(this);
  for (KeyKind kind : kinds) list_->addItem(QString::fromLatin1(KeyKindName(kind)));
  if (!kinds.empty()) list_->setCurrentRow(0);
  connect(list_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(list_);
  layout->addWidget(OkCancel(this));
}

std::optional<KeyKind> WhichKeyDialog::chosen() const {
  int row = list_->currentRow();
  if (row < 0 || row >= int(kinds_.size())) return std::nullopt;
  return kinds_[std::size_t(row)];
}

// ---- Key edit ---------------------------------------------------------------------------------

KeyEditDialog::KeyEditDialog(Prompt& prompt, const KeyEditValues& values, ClipKind clipKind,
                             int frames, int units, int dpi, QWidget* parent)
    : QDialog(parent),
      prompt_(prompt),
      values_(values),
      clipKind_(clipKind),
      frames_(frames),
      units_(units),
      dpi_(dpi) {
  grid_ = new QGridLayout;
  auto* time = NamedField(this, "keyTime", QString::number(values.frame + 1));
  grid_->addWidget(new QLabel(QStringLiteral("Key Time :"), this), row_, 0);
  grid_->addWidget(time, row_++, 1);
  switch (values.kind) {
    case KeyKind::Position: {
      setWindowTitle(QStringLiteral("Edit Position Key"));
      Result<double> x = PixelsToUnits(values.a, units, dpi);
      Result<double> y = PixelsToUnits(values.b, units, dpi);
      AddValue("valueA", Q(PositionLabel('X', units)), x ? *x : values.a);
      AddEase("easeInA", QStringLiteral("Ease In X"), values.easeInA);
      AddEase("easeOutA", QStringLiteral("Ease Out X"), values.easeOutA);
      AddValue("valueB", Q(PositionLabel('Y', units)), y ? *y : values.b);
      AddEase("easeInB", QStringLiteral("Ease In Y"), values.easeInB);
      AddEase("easeOutB", QStringLiteral("Ease Out Y"), values.easeOutB);
      break;
    }
    case KeyKind::Scale:
      setWindowTitle(QStringLiteral("Edit Key"));
      AddValue("valueA", QStringLiteral("ScaleX"), values.a);
      AddValue("valueB", QStringLiteral("ScaleY"), values.b);
      AddEase("easeInA", QStringLiteral("Ease In"), values.easeInA);
      AddEase("easeOutA", QStringLiteral("Ease Out"), values.easeOutA);
      break;
    case KeyKind::Rotation: {
      setWindowTitle(QStringLiteral("Edit Key"));
      TurnsAndDegrees turns = RadiansToTurns(values.a);
      AddValue("valueA", QStringLiteral("Turns"), turns.turns);
      AddValue("valueB", QStringLiteral("Rotation"), turns.degrees);
      AddEase("easeInA", QStringLiteral("Ease In"), values.easeInA);
      AddEase("easeOutA", QStringLiteral("Ease Out"), values.easeOutA);
      break;
    }
    case KeyKind::Effect: {
      setWindowTitle(QStringLiteral("Effect Edit Key"));
      // Both sliders start at A's lower bound.
      const int minimum = EffectParameterOf(clipKind, kPositionX).min;
      auto addParameter = [&](const char* name, int track, double v) {
        const EffectParameter parameter = EffectParameterOf(clipKind, track);
        auto* slider = new QSlider(Qt::Horizontal, this);
        slider->setObjectName(QString::fromLatin1(name) + QStringLiteral("Slider"));
        slider->setRange(minimum, parameter.max);
        slider->setValue(int(std::lround(v)));
        slider->setMinimumWidth(200);
        QLineEdit* field = AddValue(name, Q(parameter.label), v);
        grid_->addWidget(slider, row_ - 1, 2);
        connect(slider, &QSlider::valueChanged, field,
                [field](int value) { field->setText(QString::number(value)); });
        connect(field, &QLineEdit::textEdited, slider,
                [slider](const QString& text) { slider->setValue(text.toInt()); });
      };
      addParameter("valueA", kPositionX, values.a);
      addParameter("valueB", kPositionY, values.b);
      AddEase("easeInA", QStringLiteral("Ease In"), values.easeInA);
      AddEase("easeOutB", QStringLiteral("Ease Out"), values.easeOutB);
      break;
    }
  }
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid_);
  layout->addWidget(OkCancel(this));
}

QLineEdit* KeyEditDialog::AddValue(const char* name, const QString& label, double value) {
  auto* text = new QLabel(label, this);
  text->setObjectName(QString::fromLatin1(name) + QStringLiteral("Label"));
  auto* field = NamedField(this, name, Number(value));
  grid_->addWidget(text, row_, 0);
  grid_->addWidget(field, row_++, 1);
  return field;
}

QSlider* KeyEditDialog::AddEase(const char* name, const QString& label, int value) {
  auto* slider = new QSlider(Qt::Horizontal, this);
  slider->setObjectName(QString::fromLatin1(name));
  slider->setRange(0, kMaxEase);
  slider->setValue(value);
  slider->setTickPosition(QSlider::TicksBelow);
  auto* shown = new QLabel(QString::number(value), this);
  connect(slider, &QSlider::valueChanged, shown,
          [shown](int v) { shown->setText(QString::number(v)); });
  grid_->addWidget(new QLabel(label, this), row_, 0);
  grid_->addWidget(slider, row_, 1);
  grid_->addWidget(shown, row_++, 2);
  return slider;
}

QLineEdit* KeyEditDialog::field(const char* name) const {
  return findChild<QLineEdit*>(QString::fromLatin1(name));
}

QSlider* KeyEditDialog::slider(const char* name) const {
  return findChild<QSlider*>(QString::fromLatin1(name));
}

QLabel* KeyEditDialog::label(const char* name) const {
  return findChild<QLabel*>(QString::fromLatin1(name) + QStringLiteral("Label"));
}

void KeyEditDialog::accept() {
  if (Status time = CheckKeyTime(IntOf(field("keyTime")), frames_); !time) {
    prompt_.Message(time.message(), MessageIcon::Warning);
    return;
  }
  KeyEditValues v = values_;
  v.frame = IntOf(field("keyTime")) - 1;
  double a = DoubleOf(field("valueA")), b = DoubleOf(field("valueB"));
  if (std::isnan(a)) a = 0;
  if (std::isnan(b)) b = 0;
  auto ease = [this](const char* name, int fallback) {
    QSlider* s = slider(name);
    return s ? s->value() : fallback;
  };
  switch (v.kind) {
    case KeyKind::Position: {
      Result<double> x = UnitsToPixels(a, units_, dpi_), y = UnitsToPixels(b, units_, dpi_);
      if (!x || !y) {
        prompt_.Message(x ? y.status().message() : x.status().message(), MessageIcon::Warning);
        return;
      }
      v.a = *x;
      v.b = *y;
      break;
    }
    case KeyKind::Rotation:
      v.a = TurnsToRadians(a, b);
      break;
    case KeyKind::Scale:
    case KeyKind::Effect:
      v.a = a;
      v.b = b;
      break;
  }
  v.easeInA = ease("easeInA", v.easeInA);
  v.easeOutA = ease("easeOutA", v.easeOutA);
  v.easeInB = ease("easeInB", v.easeInB);
  v.easeOutB = ease("easeOutB", v.easeOutB);
  if (Status checked = CheckKeyEditValues(v, clipKind_, frames_); !checked) {
    prompt_.Message(checked.message(), MessageIcon::Warning);
    return;
  }
  values_ = v;
  QDialog::accept();
}

// ---- Start and end ----------------------------------------------------------------------------

StartEndDialog::StartEndDialog(Prompt& prompt, EdgeBehaviour before, EdgeBehaviour after,
                               int start1Based, int lastStart, const QString& pictures,
                               QWidget* parent)
    : QDialog(parent), prompt_(prompt), lastStart_(lastStart) {
  setWindowTitle(QStringLiteral("Clip Start and End Properties"));
  before_ = new QComboBox(this);
  after_ = new QComboBox(this);
  for (const char* name : kEdgeNames) {
    before_->addItem(QString::fromLatin1(name));
    after_->addItem(QString::fromLatin1(name));
  }
  before_->setCurrentIndex(int(before));
  after_->setCurrentIndex(int(after));
  start_ = NamedField(this, "start", QString::number(start1Based));
  auto* form = new QFormLayout;
  auto* file = new QLabel(pictures, this);
  file->setObjectName(QStringLiteral("pictures"));
  file->setTextInteractionFlags(Qt::TextSelectableByMouse);
  form->addRow(QStringLiteral("Pictures :"), file);
  form->addRow(QStringLiteral("Before Start Frame"), before_);
  form->addRow(QStringLiteral("After End Frame"), after_);
  form->addRow(QStringLiteral("Clip Starts At Frame :"), start_);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(OkCancel(this));
}

EdgeBehaviour StartEndDialog::before() const {
  return EdgeBehaviour(before_->currentIndex());
}

EdgeBehaviour StartEndDialog::after() const {
  return EdgeBehaviour(after_->currentIndex());
}

int StartEndDialog::start() const {
  return IntOf(start_);
}

void StartEndDialog::accept() {
  if (Status checked = CheckClipStart(IntOf(start_), lastStart_); !checked) {
    prompt_.Message(checked.message(), MessageIcon::Warning);
    return;
  }
  QDialog::accept();
}

// ---- Lists ------------------------------------------------------------------------------------

PickListDialog::PickListDialog(const QString& title, const QString& current,
                               const QStringList& items, QWidget* parent)
    : QDialog(parent) {
  setWindowTitle(title);
  auto* layout = new QVBoxLayout(this);
  if (!current.isNull()) {
    auto* shown = new QLineEdit(current, this);
    shown->setObjectName(QStringLiteral("current"));
    shown->setReadOnly(true);
    layout->addWidget(shown);
  }
  list_ = new QListWidget(this);
  list_->addItems(items);
  connect(list_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
  layout->addWidget(list_);
  layout->addWidget(OkCancel(this));
}

int PickListDialog::chosenRow() const {
  return list_->currentItem() ? list_->currentRow() : -1;
}

// ---- Preview ----------------------------------------------------------------------------------

PreviewDialog::PreviewDialog(const Composition& composition, QWidget* parent)
    : QDialog(parent), composition_(composition) {
  setWindowTitle(QStringLiteral("Generate Preview"));
  PreviewSettings defaults = DefaultPreviewSettings(composition);
  quality_ = new QSlider(Qt::Horizontal, this);
  quality_->setRange(0, kPreviewMaxQuality);
  quality_->setValue(defaults.quality);
  auto* qualityRow = new QHBoxLayout;
  qualityRow->addWidget(new QLabel(QStringLiteral("Worst"), this));
  qualityRow->addWidget(quality_);
  qualityRow->addWidget(new QLabel(QStringLiteral("Best"), this));
  auto* scaling = new QGroupBox(QStringLiteral("Scaling"), this);
  auto* scalingRow = new QHBoxLayout(scaling);
  const char* names[] = {"FULL", "HALF", "QUARTER"};
  for (int i = 0; i < 3; ++i) {
    scaling_[i] = new QRadioButton(QString::fromLatin1(names[i]), scaling);
    scalingRow->addWidget(scaling_[i]);
  }
  scaling_[defaults.scaling]->setChecked(true);
  start_ = NamedField(this, "startFrame", QString::number(defaults.startFrame));
  end_ = NamedField(this, "endFrame", QString::number(defaults.endFrame));
  step_ = NamedField(this, "step", QString::number(defaults.step));
  for (QLineEdit* field : {start_, end_, step_})
    connect(field, &QLineEdit::editingFinished, this, [this] { Normalize(); });
  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("Image Quality :"), qualityRow);
  form->addRow(scaling);
  form->addRow(QStringLiteral("Start Frame :"), start_);
  form->addRow(QStringLiteral("End Frame :"), end_);
  form->addRow(QStringLiteral("Step :"), step_);
  auto* buttons = new QDialogButtonBox(this);
  auto* generate = buttons->addButton(QStringLiteral("Generate"), QDialogButtonBox::AcceptRole);
  generate->setObjectName(QStringLiteral("generate"));
  buttons->addButton(QDialogButtonBox::Cancel);
  connect(buttons, &QDialogButtonBox::accepted, this, [this] {
    Normalize();
    accept();
  });
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(buttons);
}

QLineEdit* PreviewDialog::field(const char* name) const {
  return findChild<QLineEdit*>(QString::fromLatin1(name));
}

PreviewSettings PreviewDialog::settings() const {
  PreviewSettings s;
  s.quality = quality_->value();
  for (int i = 0; i < 3; ++i)
    if (scaling_[i]->isChecked()) s.scaling = i;
  s.startFrame = std::max(IntOf(start_), 0);
  s.endFrame = std::max(IntOf(end_), 0);
  s.step = std::max(IntOf(step_), 0);
  return NormalizePreviewSettings(s, composition_);
}

void PreviewDialog::Normalize() {
  PreviewSettings s = settings();
  start_->setText(QString::number(s.startFrame));
  end_->setText(QString::number(s.endFrame));
  step_->setText(QString::number(s.step));
}

// ---- Render output ----------------------------------------------------------------------------

RenderOutputDialog::RenderOutputDialog(Prompt& prompt, const Composition& composition,
                                       std::function<void(const RenderOutputSettings&)> render,
                                       QWidget* parent)
    : QDialog(parent), prompt_(prompt), composition_(composition), onRender_(std::move(render)) {
  setWindowTitle(QStringLiteral("Render Output"));
  RenderOutputSettings d = DefaultRenderOutputSettings(composition);
  start_ = NamedField(this, "frameStart", QString::number(d.frameStart));
  end_ = NamedField(this, "frameEnd", QString::number(d.frameEnd));
  name_ = NamedField(this, "name", {});
  startNumber_ = NamedField(this, "startNumber", QString::number(d.startNumber));
  directory_ = NamedField(this, "directory", {});
  auto* choose = new QPushButton(QStringLiteral("Select Output Directory"), this);
  zeros_ = new QCheckBox(QStringLiteral("Use Leading Zeros"), this);
  zeros_->setObjectName(QStringLiteral("leadingZeros"));
  zeros_->setChecked(d.leadingZeros);
  fields_ = new QCheckBox(QStringLiteral("Render Fields"), this);
  fields_->setObjectName(QStringLiteral("fields"));
  odd_ = new QRadioButton(QStringLiteral("Odd"), this);
  odd_->setObjectName(QStringLiteral("odd"));
  even_ = new QRadioButton(QStringLiteral("Even"), this);
  even_->setObjectName(QStringLiteral("even"));
  odd_->setChecked(true);
  auto* order = new QButtonGroup(this);
  order->addButton(odd_);
  order->addButton(even_);
  best_ = new QRadioButton(QStringLiteral("Best but slower"), this);
  best_->setObjectName(QStringLiteral("best"));
  fast_ = new QRadioButton(QStringLiteral("Not good but faster"), this);
  fast_->setObjectName(QStringLiteral("fast"));
  best_->setChecked(true);
  auto* quality = new QButtonGroup(this);
  quality->addButton(best_);
  quality->addButton(fast_);
  matte_ = new QCheckBox(QStringLiteral("Render with matte (32 bit)"), this);
  matte_->setObjectName(QStringLiteral("matte"));
  format_ = new PictureFormatChoice(this);

  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("Frame Start :"), start_);
  form->addRow(QStringLiteral("End :"), end_);
  form->addRow(QStringLiteral("Name :"), name_);
  form->addRow(QStringLiteral("Start Frm :"), startNumber_);
  auto* directoryRow = new QHBoxLayout;
  directoryRow->addWidget(choose);
  directoryRow->addWidget(directory_);
  form->addRow(directoryRow);
  form->addRow(zeros_);
  auto* fieldRow = new QHBoxLayout;
  fieldRow->addWidget(fields_);
  fieldRow->addWidget(odd_);
  fieldRow->addWidget(even_);
  form->addRow(fieldRow);
  auto* qualityBox = new QGroupBox(QStringLiteral("Render Quality"), this);
  auto* qualityRow = new QVBoxLayout(qualityBox);
  qualityRow->addWidget(best_);
  qualityRow->addWidget(fast_);
  form->addRow(qualityBox);
  form->addRow(matte_);
  form->addRow(format_);
  auto* buttons = new QDialogButtonBox(this);
  render_ = buttons->addButton(QStringLiteral("Render"), QDialogButtonBox::ActionRole);
  render_->setObjectName(QStringLiteral("render"));
  auto* close = buttons->addButton(QStringLiteral("Close"), QDialogButtonBox::RejectRole);
  connect(close, &QPushButton::clicked, this, &QDialog::reject);
  connect(render_, &QPushButton::clicked, this, [this] {
    Normalize();
    if (directory_->text().isEmpty()) {
      prompt_.Message("Please select an output directory", MessageIcon::Warning);
      return;
    }
    onRender_(settings());
  });
  connect(choose, &QPushButton::clicked, this, [this] {
    if (auto picked =
            prompt_.PickDirectory("Choose storage directory", directory_->text().toStdString()))
      directory_->setText(QString::fromStdString(OutputDirectoryFromPick(*picked)));
  });
  for (QLineEdit* field : {start_, end_})
    connect(field, &QLineEdit::editingFinished, this, [this] { Normalize(); });
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(buttons);
}

QLineEdit* RenderOutputDialog::field(const char* name) const {
  return findChild<QLineEdit*>(QString::fromLatin1(name));
}

QCheckBox* RenderOutputDialog::check(const char* name) const {
  return findChild<QCheckBox*>(QString::fromLatin1(name));
}

QRadioButton* RenderOutputDialog::radio(const char* name) const {
  return findChild<QRadioButton*>(QString::fromLatin1(name));
}

RenderOutputSettings RenderOutputDialog::settings() const {
  RenderOutputSettings s = DefaultRenderOutputSettings(composition_);
  s.frameStart = IntOf(start_) == INT_MIN ? 1 : IntOf(start_);
  s.frameEnd = IntOf(end_) == INT_MIN ? composition_.frames : IntOf(end_);
  s.name = name_->text().toStdString();
  s.startNumber = IntOf(startNumber_) == INT_MIN ? 0 : IntOf(startNumber_);
  s.directory = directory_->text().toStdString();
  if (!s.directory.empty() && s.directory.back() != '/') s.directory += '/';
  s.leadingZeros = zeros_->isChecked();
  s.fields = fields_->isChecked();
  s.fieldOrder = even_->isChecked() ? FieldOrder::Even : FieldOrder::Odd;
  s.best = best_->isChecked();
  s.matte = matte_->isChecked();
  s.format = format_->format();
  s.depth = format_->depth();
  return NormalizeRenderOutputSettings(s, composition_);
}

void RenderOutputDialog::Normalize() {
  RenderOutputSettings s = settings();
  start_->setText(QString::number(s.frameStart));
  end_->setText(QString::number(s.frameEnd));
}

}  // namespace quenda
