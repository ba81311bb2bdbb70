// Auto paint commands of the document: one frame from another, from the previous frame, from a
// typed frame, and over a range with progress and STOP.
#include <algorithm>
#include <array>
#include <cstdio>
#include <deque>

#include "common/scripted_prompt.h"
#include "painter/core/auto_paint.h"
#include "painter/core/key_chain.h"
#include "painter/core/painter_doc.h"
#include "painter/core/small_region_fill.h"

namespace quenda {
namespace {

constexpr std::string_view kInvalidFrameNumber = "Invalid Frame Number";
constexpr std::string_view kCurrentFrameSource = "You can not auto paint with current frame";

}  // namespace

bool CPainterDoc::AutoPaint(int sourceIndex) {
  return AutoPaintWith(sourceIndex, autoPaintOptions_);
}

bool CPainterDoc::AutoPaintWith(int sourceIndex, const AutoPaintOptions& options) {
  if (!CanEdit()) return false;
  PainterFrame source;
  if (!LoadFrameInto(source, sourceIndex)) return false;
  // By shapes, the drawings on the far side of the source are asked too, nearest first, for
  // what the source lost; they are a help, not a need, so one that does not load ends the asking.
  std::deque<PainterFrame> beyond;
  const int away = sourceIndex < currentFrame_ ? -1 : 1;
  auto loadBeyond = [&](int depth) -> const PainterFrame* {
    const int index = sourceIndex + away * (depth + 1);
    if (depth < int(beyond.size())) return &beyond[std::size_t(depth)];
    ScriptedPrompt quiet;
    PainterFrame& frame = beyond.emplace_back();
    const bool loaded = depth == int(beyond.size()) - 1 && index >= 0 &&
                        index < sequence_.frameCount && index != currentFrame_ &&
                        LoadPainterFrame(frame, PathsOf(index), colors_.count, quiet);
    return loaded ? &frame : nullptr;
  };
  AutoPaintFrom(frame_, source, options, loadBeyond);
  UpdateAllViews(PainterHint::RedrawAll);
  return true;
}

void CPainterDoc::SetAutoPaintMatch(AutoPaintMatch match) {
  autoPaintOptions_.match = match;
  UpdateAllViews(PainterHint::StateChanged);
}

void CPainterDoc::SetPaintSpecksAfterAutoPaint(bool paint) {
  autoPaintOptions_.paintSpecks = paint;
  UpdateAllViews(PainterHint::StateChanged);
}

void CPainterDoc::SetSpeckSize(int size) {
  autoPaintOptions_.speckSize = std::max(size, 1);
  UpdateAllViews(PainterHint::StateChanged);
}

void CPainterDoc::SetAutoPaintConfidence(int confidence) {
  autoPaintOptions_.confidence = std::clamp(confidence, 0, kMaxConfidence);
  UpdateAllViews(PainterHint::StateChanged);
}

int CPainterDoc::PaintSpecks() {
  if (!CanEdit()) return 0;
  const int painted = quenda::PaintSpecks(frame_, autoPaintOptions_.speckSize);
  if (painted > 0) UpdateAllViews(PainterHint::RedrawAll);
  return painted;
}

std::optional<std::string> CPainterDoc::SpeckStateText() const {
  if (!sequenceOpen_) return std::nullopt;
  const auto counts = UnfilledOf(currentFrame_);
  if (!counts || counts->first == 0 || !frameLoaded_) return std::string();
  return std::to_string(CountUnfilledSpecks(frame_, autoPaintOptions_.speckSize)) +
         " of them specks";
}

bool CPainterDoc::AutoPaintPrevious() {
  if (!sequenceOpen_ || currentFrame_ <= 0) return false;
  return AutoPaint(currentFrame_ - 1);
}

std::optional<int> CPainterDoc::AutoPaintSource(std::string_view frameText) {
  if (!sequenceOpen_) return std::nullopt;
  const auto index = FindFrame(sequence_.frames, ParseTypedFrameTag(frameText));
  if (!index) {
    prompt_.Message(kInvalidFrameNumber, MessageIcon::Error);
    return std::nullopt;
  }
  if (*index == currentFrame_) {
    prompt_.Message(kCurrentFrameSource, MessageIcon::Error);
    return std::nullopt;
  }
  return index;
}

bool CPainterDoc::AutoPaintAnyFrame(std::string_view frameText) {
  const std::optional<int> index = AutoPaintSource(frameText);
  return index && AutoPaint(*index);
}

Status CPainterDoc::CheckRangeFields(const AutoPaintRangeFields& fields) {
  if (fields.startText.empty()) return Error{"You must give a valid start frame."};
  if (fields.endText.empty()) return Error{"You must give a valid end frame."};
  if (fields.source == RangeSource::FrameNo && fields.sourceText.empty())
    return Error{"You must supply a valid source frame no."};
  return Status::Ok();
}

int CPainterDoc::RangeIndex(std::string_view text) const {
  return FindFrame(sequence_.frames, ParseTypedFrameTag(text)).value_or(-1);
}

void CPainterDoc::TakeColoursFromKeys(const std::vector<int32_t>& colours, bool paintSpecks) {
  // The chains read this frame's own files, so its regions are theirs.
  if (colours.size() != frame_.regionColor.size()) return;
  TakeUndoCopy(frame_, kUndoRegionColors);
  for (std::size_t r = 1; r < colours.size(); ++r) frame_.regionColor[r] = colours[r];
  if (paintSpecks) SettleSpecks(frame_, frame_.regionColor, autoPaintOptions_.speckSize);
  frame_.paintChanged = true;
}

bool CPainterDoc::AutoPaintRange(const AutoPaintRangeFields& fields, Progress& progress) {
  if (!sequenceOpen_) return false;
  if (Status problem = CheckRangeFields(fields); !problem) {
    prompt_.Message(problem.message(), MessageIcon::Error);
    return false;
  }
  const int start = RangeIndex(fields.startText);
  if (start < 0) {
    prompt_.Message("Invalid Start Frame!", MessageIcon::Error);
    return false;
  }
  const int end = RangeIndex(fields.endText);
  if (end < 0) {
    prompt_.Message("Invalid End Frame!", MessageIcon::Error);
    return false;
  }
  if (end <= start) {
    prompt_.Message("Start frame must be smaller than end frame!", MessageIcon::Error);
    return false;
  }
  int fixedSource = -1;
  switch (fields.source) {
    case RangeSource::AutoPrevious:
      if (start <= 0) {
        prompt_.Message("There must be a frame before start frame with auto-next paint!",
                        MessageIcon::Error);
        return false;
      }
      break;
    case RangeSource::BothKeys:
      if (start <= 0) {
        prompt_.Message("There must be a frame before start frame with auto-next paint!",
                        MessageIcon::Error);
        return false;
      }
      [[fallthrough]];
    case RangeSource::AutoNext:
      if (end >= sequence_.frameCount - 1) {
        prompt_.Message("There must be a frame after end frame with auto-previous paint!",
                        MessageIcon::Error);
        return false;
      }
      break;
    case RangeSource::FrameNo:
      fixedSource = RangeIndex(fields.sourceText);
      if (fixedSource < 0) {
        prompt_.Message("Invalid source frame number!", MessageIcon::Error);
        return false;
      }
      break;
  }

  const int count = end - start + 1;
  const bool bothKeys = fields.source == RangeSource::BothKeys;
  const bool descending = fields.source == RangeSource::AutoNext;
  // By shapes, a run from a neighbour is one chain painted in memory before anything is written,
  // as both keys are two: it remembers its key and how sure it was of every frame's colours, so
  // that a colour it took unsurely is asked of the key and the surer frames before it.
  const bool chained =
      bothKeys || (fields.match == AutoPaintMatch::Shapes && fields.source != RangeSource::FrameNo);
  const int passes = bothKeys ? 3 : 2;
  std::vector<std::vector<int32_t>> painted;  // per frame of the run, in the run's order
  if (chained) {
    // The chains read every frame from its files, so what is in hand is written first.
    if (!LeaveCurrentFrame()) return false;
    std::array<PainterFrame, 3> slots;
    const ChainFrames frames = [&](int index, int slot) -> PainterFrame* {
      if (index < 0 || index >= sequence_.frameCount) return nullptr;
      PainterFrame& frame = slots[std::size_t(slot)];
      return LoadPainterFrame(frame, PathsOf(index), colors_.count, prompt_) ? &frame : nullptr;
    };
    int passed = 0;
    // Each chain passes every frame once; the frames are written after.
    const auto stop = [&](int index) {
      char stage[64];
      std::snprintf(stage, sizeof stage, "Autopainting frame %s",
                    FormatFrameTag(sequence_.frames[index]).c_str());
      progress.SetStage(stage);
      progress.SetPercent(100 * ++passed / (passes * count));
      return progress.StopRequested();
    };
    const AutoPaintOptions options{fields.match, fields.paintSpecks, autoPaintOptions_.speckSize,
                                   fields.confidence};
    ChainColours chain;
    if (bothKeys)
      painted = PaintFromBothKeys(frames, start, end, options, stop);
    else if (PaintChain(frames, descending ? end : start, descending ? start : end, options, chain,
                        stop))
      painted = std::move(chain.colour);
    // Stopped before anything was painted, or a frame that does not load: nothing changes.
    if (painted.empty()) return false;
  }
  progress.FramesPlanned(count);
  for (int k = 1; k <= count; ++k) {
    const int index = descending ? end - (k - 1) : start + (k - 1);
    const int source = fields.source == RangeSource::AutoPrevious ? index - 1
                       : descending                               ? index + 1
                                                                  : fixedSource;
    char stage[64];
    std::snprintf(stage, sizeof stage, "Autopainting frame %s",
                  FormatFrameTag(sequence_.frames[index]).c_str());
    progress.SetStage(stage);
    progress.SetPercent(chained ? (100 * ((passes - 1) * count + k)) / (passes * count)
                                : 100 * k / count);
    // A frame that cannot be written ends the run unless the user lets its paint go.
    if (!LeaveCurrentFrame()) return false;
    if (k > 1)
      progress.FrameCommitted(currentFrame_ + 1, PaintPath(sequence_, currentFrame_, prompt_));
    GoToFrame(index);
    // A frame that does not load ends the run: its data is never painted or written.
    if (!frameLoaded_) return false;
    if (chained)
      TakeColoursFromKeys(painted[std::size_t(k - 1)], fields.paintSpecks);
    else
      AutoPaintWith(source, {fields.match, fields.paintSpecks, autoPaintOptions_.speckSize,
                             fields.confidence});
    UpdateAllViews(PainterHint::RedrawAll);
    if (progress.StopRequested()) break;
  }
  return true;
}

}  // namespace quenda
