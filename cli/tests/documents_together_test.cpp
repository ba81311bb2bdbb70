// The tool holds the documents of several programs at once: their headers must build side by
// side, and each document's hints must reach only its own listeners.
#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "common/scripted_prompt.h"
#include "composer/core/composer_doc.h"
#include "dopegrid/core/dopegrid_doc.h"
#include "painter/core/painter_doc.h"

namespace quenda {
namespace {

// "All" means every part of the sheet, but a plain redraw in the composer; both stay as they
// were numbered.
static_assert(int(SheetHint::All) == 7 && int(ComposerHint::All) == 0);
static_assert(HasHint(SheetHint::SelectAllPictures, SheetHint::Pictures));
static_assert(!HasHint(SheetHint::SelectAllPictures, SheetHint::Sheet));
static_assert((SheetHint::Sequences | SheetHint::Pictures | SheetHint::Sheet) == SheetHint::All);

template <typename Update>
struct Recorder final : DocumentListener<Update> {
  void OnUpdate(const Update& update) override { updates.push_back(update); }
  std::vector<Update> updates;
};

TEST(DocumentsTogether, EachDocumentTellsOnlyItsOwnListeners) {
  ScriptedPrompt prompt;
  CPainterDoc painter(prompt);
  CDopegridDoc sheet(prompt);
  CComposerDoc composer(prompt);
  Recorder<PainterUpdate> painterViews;
  Recorder<SheetHint> sheetViews;
  Recorder<ComposerHint> composerViews;
  painter.AddListener(&painterViews);
  sheet.AddListener(&sheetViews);
  composer.AddListener(&composerViews);

  painter.UpdateAllViews(PainterHint::ShowRegion, ImageRect{1, 5, 2, 6}, 9);
  sheet.ToggleShowSound();
  composer.ToggleMotionPath();

  ASSERT_EQ(painterViews.updates.size(), 1u);
  const PainterUpdate& told = painterViews.updates[0];
  EXPECT_EQ(std::tuple(told.hint, told.rect.x1, told.region),
            std::tuple(PainterHint::ShowRegion, 5, 9));
  EXPECT_EQ(sheetViews.updates, std::vector<SheetHint>{SheetHint::Sheet});
  EXPECT_EQ(composerViews.updates, std::vector<ComposerHint>{ComposerHint::All});
  // Showing the sound or the motion path is a view setting, not an edit.
  EXPECT_FALSE(sheet.modified());
  EXPECT_FALSE(composer.modified());
}

}  // namespace
}  // namespace quenda
