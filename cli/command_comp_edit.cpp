// `quenda comp` actions that change a built composition as the composer's key, clip and
// settings commands do. Each selects the clip and goes to the frame it names, then runs the
// document's own command, so the messages, questions and refusals are the program's; a question
// nobody answered Yes (--yes) leaves the composition as it was.

#include <algorithm>
#include <limits>

#include "cli/command_comp.h"
#include "common/path.h"

namespace quenda::cli::comp {
namespace {

constexpr int kAnyInt = std::numeric_limits<int>::max();

const std::pair<const char*, KeyKind> kKeyKindNames[] = {{"position", KeyKind::Position},
                                                         {"scale", KeyKind::Scale},
                                                         {"rotation", KeyKind::Rotation},
                                                         {"effect", KeyKind::Effect}};

std::optional<KeyKind> KeyKindNamed(const std::string& name) {
  for (const auto& [text, kind] : kKeyKindNames)
    if (name == text) return kind;
  return std::nullopt;
}

const char* KeyKindWord(KeyKind kind) {
  for (const auto& [text, k] : kKeyKindNames)
    if (k == kind) return text;
  return "";
}

// A command that refused: a question answered No for want of --yes is named.
int Refused(EditRun& run) {
  if (run.prompt.unanswered())
    ReportFileError(run.io, "comp", run.words[1],
                    "the composition is left as it was; --yes answers Yes");
  return 1;
}

// A refusal of the tool's own, about the composition.
int Say(EditRun& run, const std::string& reason) {
  return ReportFileError(run.io, "comp", run.words[1], reason);
}

std::optional<int> ClipIndex(const EditRun& run, const std::string& text) {
  return ParseInt(text, 0, run.doc.composition().clipCount() - 1);
}

// An optional option's value, parsed; `bad` is set when it is given but does not parse.
template <class Parse>
auto OptionValue(const EditRun& run, const char* option, Parse parse, bool& bad)
    -> decltype(parse(std::string())) {
  std::optional<std::string> text = run.parsed.Value(option);
  if (!text) return std::nullopt;
  auto value = parse(*text);
  if (!value) bad = true;
  return value;
}

// The edit dialog's OK: the current values with those the options give.
struct KeyEdits {
  std::optional<int> time;  // 1-based
  std::optional<double> a, b;
  std::optional<int> easeIn, easeOut, easeInB, easeOutB;
};

// The document checks them as the dialog's OK does.
KeyEditValues EditedValues(const KeyEdits& edits, const KeyEditValues& current) {
  KeyEditValues v = current;
  if (edits.time) v.frame = *edits.time - 1;
  if (edits.a) v.a = *edits.a;
  if (edits.b) v.b = *edits.b;
  if (edits.easeIn) v.easeInA = *edits.easeIn;
  // The effect dialog's ease out is that of the second key.
  if (edits.easeOut) (v.kind == KeyKind::Effect ? v.easeOutB : v.easeOutA) = *edits.easeOut;
  if (edits.easeInB) v.easeInB = *edits.easeInB;
  if (edits.easeOutB) v.easeOutB = *edits.easeOutB;
  return v;
}

int CopyKey(EditRun& run, int index, int frame) {
  std::optional<std::string> to = run.parsed.Value("--to");
  if (!to) return UsageError(run.io, "copy-key needs --to FILE");
  if (!run.doc.CanCopyKey())
    return Say(run,
               "clip " + std::to_string(index) + " has no key at frame " + std::to_string(frame));
  run.doc.CopyKey();
  if (Status saved = SaveKeyClipboard(*to, run.doc.keyClipboard()); !saved)
    return ReportFileError(run.io, "comp", *to, saved.message());
  run.io.out << "copied the keys of clip " << index << " at frame " << frame << " to " << *to
             << "\n";
  return 0;
}

int PasteKey(EditRun& run) {
  std::optional<std::string> from = run.parsed.Value("--from");
  if (!from) return UsageError(run.io, "paste-key needs --from FILE");
  Result<KeyClipboard> board = LoadKeyClipboard(*from);
  if (!board) return ReportFileError(run.io, "comp", *from, board.message());
  run.doc.SetKeyClipboard(*board);
  return run.doc.PasteKey() ? kSaveDocument : Refused(run);
}

int KeyAction(EditRun& run) {
  const std::string& action = run.words[0];
  const std::vector<std::string>& w = run.words;
  const bool clipboard = action == "copy-key" || action == "paste-key";
  if (w.size() != 4 && !(w.size() == 5 && !clipboard))
    return UsageError(run.io, "wrong number of words for " + action);
  std::optional<int> index = ClipIndex(run, w[2]);
  std::optional<int> frame = ParseInt(w[3], 1, run.doc.composition().frames);
  if (!index || !frame)
    return UsageError(run.io, action + " needs a clip and a frame of the movie");
  const ClipRecord& clip = run.doc.composition().clips[std::size_t(*index)];
  run.doc.Select(*index);
  run.doc.GoToFrame(*frame - 1);
  if (action == "copy-key") return CopyKey(run, *index, *frame);
  if (action == "paste-key") return PasteKey(run);

  std::optional<KeyKind> kind;
  if (w.size() == 5 && !(kind = KeyKindNamed(w[4])))
    return UsageError(run.io, "unknown key kind '" + w[4] + "'");
  if (clip.IsEffect() && kind && *kind != KeyKind::Effect)
    return UsageError(run.io, "clip " + w[2] + " is an effect clip: its keys are effect keys");
  if (!clip.IsEffect() && (!kind || *kind == KeyKind::Effect))
    return UsageError(run.io, action + " on clip " + w[2] + " needs position, scale or rotation");
  if (clip.IsEffect()) kind = KeyKind::Effect;

  // The Which Key? dialog offers only the kinds the command can act on.
  bool offered = true;
  ChooseKeyKind choose = [&](const std::vector<KeyKind>& kinds) -> std::optional<KeyKind> {
    offered = std::find(kinds.begin(), kinds.end(), *kind) != kinds.end();
    return offered ? kind : std::nullopt;
  };
  auto notOffered = [&](const char* state) {
    return Say(run, "clip " + std::to_string(*index) + state + KeyKindWord(*kind) +
                        " key at frame " + std::to_string(*frame) +
                        (action == "insert-key" ? " already" : ""));
  };
  if (action == "insert-key") {
    if (run.doc.InsertKey(choose)) return kSaveDocument;
    return offered ? Refused(run) : notOffered(" has a ");
  }
  if (action == "delete-key") {
    if (run.doc.DeleteKey(choose)) return kSaveDocument;
    return offered ? Refused(run) : notOffered(" has no ");
  }
  // edit-key
  bool bad = false;
  auto anyInt = [](const std::string& t) { return ParseInt(t, -kAnyInt, kAnyInt); };
  auto ease = [](const std::string& t) { return ParseInt(t, 0, kMaxEase); };
  KeyEdits edits{
      OptionValue(run, "--time", anyInt, bad),    OptionValue(run, "--a", ParseNumber, bad),
      OptionValue(run, "--b", ParseNumber, bad),  OptionValue(run, "--ease-in", ease, bad),
      OptionValue(run, "--ease-out", ease, bad),  OptionValue(run, "--ease-in-b", ease, bad),
      OptionValue(run, "--ease-out-b", ease, bad)};
  if (bad) return UsageError(run.io, "edit-key takes a whole --time, numbers and eases 0..10");
  if (*kind == KeyKind::Rotation && edits.b)
    return UsageError(run.io, "a rotation key has one value: --b is not taken");
  if (*kind != KeyKind::Position && (edits.easeInB || edits.easeOutB))
    return UsageError(run.io, "only position keys take --ease-in-b and --ease-out-b");
  EditKeyDialog dialog = [&](const KeyEditValues& current) {
    return std::optional(EditedValues(edits, current));
  };
  if (run.doc.EditKey(choose, dialog)) return kSaveDocument;
  return offered ? Refused(run) : notOffered(" has no ");
}

int ClipAction(EditRun& run) {
  const std::string& action = run.words[0];
  const std::vector<std::string>& w = run.words;
  const bool replace = action == "replace-clip";
  if (w.size() != (replace ? 4u : 3u))
    return UsageError(run.io, action + (replace ? " needs a clip and a picture" : " needs a clip"));
  std::optional<int> index = ClipIndex(run, w[2]);
  if (!index) return UsageError(run.io, action + " needs a clip of the composition");
  const Composition& c = run.doc.composition();
  const ClipRecord& clip = c.clips[std::size_t(*index)];
  run.doc.Select(*index);
  bool done = false;
  if (action == "duplicate-clip") {
    done = run.doc.DuplicateClip();
  } else if (action == "delete-clip") {
    done = run.doc.DeleteClip();
  } else if (action == "hide-clip" || action == "show-clip") {
    const bool hide = action == "hide-clip";
    if (!clip.IsImage())
      return Say(run, "clip " + std::to_string(*index) +
                          " is not an image clip: only image clips are hidden");
    if ((clip.hidden != 0) == hide) {
      run.io.out << "clip " << *index << (hide ? " is hidden already\n" : " is shown already\n");
      return 0;
    }
    done = run.doc.ToggleHidden();
  } else if (action == "to-front") {
    if (*index == 0) return Say(run, "clip 0 is the front clip already");
    done = run.doc.ToFront();
  } else if (action == "to-back") {
    if (*index + 1 == c.clipCount())
      return Say(run, "clip " + std::to_string(*index) + " is the back clip already");
    done = run.doc.ToBack();
  } else {
    // Stored absolute, so that a render from any working directory finds the pictures.
    done = run.doc.ReplaceClipWithFile(AbsolutePath(w[3]));
    if (!done) HintAtCompressedPicture(run.io, w[3]);
  }
  return done ? kSaveDocument : Refused(run);
}

std::optional<int> UnitsNamed(const std::string& name) {
  if (name == "pixel") return int(Units::Pixel);
  if (name == "cm") return int(Units::Centimetre);
  if (name == "inch") return int(Units::Inch);
  return std::nullopt;
}

int Settings(EditRun& run) {
  if (run.words.size() != 2) return UsageError(run.io, "settings takes only the composition");
  OpenMovieValues v = CurrentMovieValues(run.doc.composition());
  // Numbers out of range reach the dialog's checks, which name the field and its range.
  bool bad = false;
  auto anyInt = [](const std::string& t) { return ParseInt(t, -kAnyInt, kAnyInt); };
  if (auto frames = OptionValue(run, "--frames", anyInt, bad)) v.frames = *frames;
  if (auto color = OptionValue(run, "--background", ParseBackground, bad))
    v.backgroundColor = *color;
  if (auto action = OptionValue(run, "--action-safe", ParseNumber, bad))
    v.actionSafePercent = *action;
  if (auto title = OptionValue(run, "--title-safe", ParseNumber, bad)) v.titleSafePercent = *title;
  if (auto units = OptionValue(run, "--units", UnitsNamed, bad)) v.units = *units;
  if (auto dpi = OptionValue(run, "--dpi", anyInt, bad)) v.dpi = *dpi;
  if (bad)
    return UsageError(run.io,
                      "settings takes whole --frames and --dpi, --background RRGGBB, numbers for "
                      "the safe frames and --units pixel, cm or inch");
  return run.doc.ApplySettings(v) ? kSaveDocument : 1;
}

}  // namespace

std::optional<int> RunEditAction(EditRun& run) {
  static const char* const kKeyActions[] = {"insert-key", "delete-key", "edit-key", "copy-key",
                                            "paste-key"};
  static const char* const kClipActions[] = {"duplicate-clip", "delete-clip", "hide-clip",
                                             "show-clip",      "to-front",    "to-back",
                                             "replace-clip"};
  const std::string& action = run.words[0];
  for (const char* name : kKeyActions)
    if (action == name) return KeyAction(run);
  for (const char* name : kClipActions)
    if (action == name) return ClipAction(run);
  if (action == "settings") return Settings(run);
  return std::nullopt;
}

}  // namespace quenda::cli::comp
