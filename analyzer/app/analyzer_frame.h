#pragma once
// The analyzer's main window: the drawing, the File, View, Regions, Paint and Help menus, the
// line settings dialog beside the picture and the batch run under its progress window.

#include <QMainWindow>
#include <QPointer>
#include <memory>

#include "analyzer/app/analyzer_dialogs.h"
#include "analyzer/app/paint_tools_window.h"
#include "analyzer/core/analyzer_doc.h"

namespace quenda {

class CAnalyzerView;

class CAnalyzerFrame final : public QMainWindow, public AnalyzerListener {
  Q_OBJECT

 public:
  // `prompt` asks the user (the window's own message boxes when null) and must outlive the
  // window; `pickSavePath` names files to write (the system's dialog when empty).
  explicit CAnalyzerFrame(Prompt* prompt = nullptr, SavePathPicker pickSavePath = {});
  ~CAnalyzerFrame() override;

  CAnalyzerDoc& document() { return *doc_; }
  CAnalyzerView* pictureView() const { return view_; }
  LineSettingsDialog* lineSettingsDialog() const { return settingsDialog_; }
  ColorSetDialog* colorSetDialog() const { return colorDialog_; }
  // Shown while paint mode is on.
  PaintToolsWindow* paintToolsWindow() const { return toolsWindow_; }
  // A menu command by its object name ("actionMarkRegions", ...).
  QAction* Action(const char* name) const;

  bool OpenFile(const QString& path);
  void OnUpdate(const AnalyzerUpdate& update) override;

 private:
  void BuildMenus();
  void UpdateActions();
  void OpenLineSettings();
  void MarkRegions();
  void SaveRegions();
  void SaveComposite();
  void BatchProcess();
  void OpenColorSet();
  void About();
  void ShowPaintTools();

  std::unique_ptr<Prompt> ownPrompt_;
  Prompt* prompt_;
  SavePathPicker pickSavePath_;
  std::unique_ptr<CAnalyzerDoc> doc_;
  CAnalyzerView* view_ = nullptr;
  QPointer<LineSettingsDialog> settingsDialog_;
  QPointer<ColorSetDialog> colorDialog_;
  QPointer<PaintToolsWindow> toolsWindow_;
};

}  // namespace quenda
