#include "dopegrid/app/sound_commands.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QSpinBox>
#include <QStatusBar>
#include <QThread>

#include "dopegrid/core/sheet_dialogs.h"
#include "media/qt_audio_output.h"

namespace quenda {

SoundCommands::SoundCommands(CDopegridDoc& doc, Prompt& prompt, QMainWindow& window)
    : doc_(doc), prompt_(prompt), window_(window), output_(std::make_unique<QtAudioOutput>()) {
  Make("actionLoadSound", tr("&Load Sound..."), nullptr);
  Make("actionSoundSettings", tr("Sound &Settings..."), &SoundCommands::Settings);
  Make("actionShowSound", tr("S&how Sound"), nullptr)->setCheckable(true);
  Make("actionPlayAll", tr("Play &All"), &SoundCommands::PlayAll);
  Make("actionPlaySelection", tr("Play S&election"), &SoundCommands::PlaySelection);
  connect(actions_[0], &QAction::triggered, this, [this] { doc_.LoadSound(); });
  connect(actions_[2], &QAction::triggered, this, [this] { doc_.ToggleShowSound(); });
  UpdateActions();
}

SoundCommands::~SoundCommands() {
  qApp->removeEventFilter(this);
}

QAction* SoundCommands::Make(const char* name, const QString& text, void (SoundCommands::*slot)()) {
  auto* action = new QAction(text, &window_);  // found among the window's commands
  action->setObjectName(QString::fromLatin1(name));
  if (slot != nullptr) connect(action, &QAction::triggered, this, slot);
  window_.addAction(action);
  actions_.append(action);
  return action;
}

void SoundCommands::SetAudioOutput(std::unique_ptr<AudioOutput> output) {
  output_ = std::move(output);
}

QMenu* SoundCommands::AddMenu(QMenuBar& bar) {
  QMenu* menu = bar.addMenu(tr("&Sound"));
  menu->addActions({actions_[0], actions_[1], actions_[2]});
  menu->addSeparator();
  menu->addActions({actions_[3], actions_[4]});
  return menu;
}

void SoundCommands::UpdateActions() {
  const bool loaded = doc_.sound().loaded;
  for (int i : {1, 3, 4}) actions_[i]->setEnabled(loaded);
  actions_[2]->setChecked(doc_.soundShown());
}

void SoundCommands::Settings() {
  SoundSettingsDialog dialog(doc_, &window_);
  dialog.exec();
}

void SoundCommands::PlayAll() {
  Play(true);
}

void SoundCommands::PlaySelection() {
  Play(false);
}

void SoundCommands::Play(bool all) {
  if (playing_) return;  // a command reached through the event loop while the sound plays
  playing_ = true;
  keyPressed_ = false;
  qApp->installEventFilter(this);
  QApplication::setOverrideCursor(Qt::WaitCursor);
  if (all)
    doc_.PlayAll(*output_, *this);
  else
    doc_.PlaySelection(*output_, *this);
  QApplication::restoreOverrideCursor();
  qApp->removeEventFilter(this);
  playing_ = false;
}

bool SoundCommands::KeyPressed() {
  QApplication::processEvents();
  if (!keyPressed_) QThread::msleep(2);  // the position moves slowly; spare the processor
  return keyPressed_;
}

void SoundCommands::ShowStatus(std::string_view text) {
  window_.statusBar()->showMessage(QString::fromUtf8(text.data(), qsizetype(text.size())));
  window_.statusBar()->repaint();
}

bool SoundCommands::eventFilter(QObject* watched, QEvent* event) {
  // A message box about the device must still be answerable.
  if (!playing_ || QApplication::activeModalWidget() != nullptr)
    return QObject::eventFilter(watched, event);
  switch (event->type()) {
    case QEvent::KeyPress:
      keyPressed_ = true;
      return true;
    case QEvent::ShortcutOverride:  // accepted: the key reaches us instead of a shortcut
      event->accept();
      return true;
    case QEvent::KeyRelease:
    case QEvent::Shortcut:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
      return true;
    default:
      return QObject::eventFilter(watched, event);
  }
}

SoundSettingsDialog::SoundSettingsDialog(CDopegridDoc& doc, QWidget* parent)
    : QDialog(parent), doc_(doc) {
  setWindowTitle(QStringLiteral("Sound Settings"));
  rate_ = new QSpinBox;
  rate_->setRange(1, kMaxSoundFrameRate);
  rate_->setValue(doc.sound().frameRate);
  rates_ = new QComboBox;
  for (std::string_view choice : kFrameRateChoices)
    rates_->addItem(QString::fromUtf8(choice.data(), qsizetype(choice.size())));
  rates_->setCurrentIndex(FrameRateChoice(doc.sound().frameRate));
  connect(rates_, &QComboBox::activated, this, [this](int index) {
    if (index < int(kFrameRateValues.size())) rate_->setValue(kFrameRateValues[index]);
  });
  connect(rate_->findChild<QLineEdit*>(), &QLineEdit::textEdited, this,
          [this] { rates_->setCurrentIndex(int(kFrameRateChoices.size()) - 1); });
  // Any number may be typed: the document says which start frames it takes.
  start_ = new QSpinBox;
  start_->setRange(-99999, 99999);
  start_->setValue(doc.sound().startFrame);

  auto* rateRow = new QHBoxLayout;
  rateRow->addWidget(rate_);
  rateRow->addWidget(rates_);
  auto* form = new QFormLayout(this);
  form->addRow(QStringLiteral("Display frame rate"), rateRow);
  form->addRow(QStringLiteral("Start frame"), start_);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  form->addRow(buttons);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(buttons, &QDialogButtonBox::accepted, this, [this] {
    if (doc_.SetSoundSettings(rate_->value(), start_->value())) accept();
  });
}

}  // namespace quenda
