// The composer's key dialogs: which key to edit, a key's values and eases, and a clip's start
// and end behaviour.
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

#include "composer/app/composer_dialog_fields.h"
#include "composer/core/effect_parameters.h"

namespace quenda {

using namespace dialog_fields;

namespace {

const char* const kEdgeNames[] = {"Stop", "Hold", "Loop", "Ping Pong"};

}  // namespace

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
  // Scale and rotation keys: two values sharing one ease in and one ease out.
  auto addPairWithOneEase = [&](const QString& labelA, double a, const QString& labelB, double b) {
    setWindowTitle(QStringLiteral("Edit Key"));
    AddValue("valueA", labelA, a);
    AddValue("valueB", labelB, b);
    AddEase("easeInA", QStringLiteral("Ease In"), values.easeInA);
    AddEase("easeOutA", QStringLiteral("Ease Out"), values.easeOutA);
  };
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
      addPairWithOneEase(QStringLiteral("ScaleX"), values.a, QStringLiteral("ScaleY"), values.b);
      break;
    case KeyKind::Rotation: {
      const TurnsAndDegrees turns = RadiansToTurns(values.a);
      addPairWithOneEase(QStringLiteral("Turns"), turns.turns, QStringLiteral("Rotation"),
                         turns.degrees);
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

}  // namespace quenda
