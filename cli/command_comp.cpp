// `quenda comp`: builds and edits a composition without the composer's window, for scripts
// and the demo: a new movie, clips from Targa files, effect and virtual clips, keys, parents.
// The key, clip and settings commands that change what is built are in command_comp_edit.cpp,
// the listing of what is built in command_comp_list.cpp.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <limits>

#include "cli/command_comp.h"
#include "cli/commands.h"
#include "cli/edit_lock.h"
#include "cli/file_info.h"
#include "common/path.h"
#include "composer/core/composition_file.h"
#include "composer/core/effect_parameters.h"
#include "composer/core/lost_clips.h"
#include "composer/core/movie_settings.h"

namespace quenda::cli {
namespace comp {
namespace {

constexpr std::string_view kUsage =
    "usage: quenda comp new MOVIE.cmp [--preset NAME] [--size WxH] [--frames N] [--rate N]\n"
    "                       [--aspect A] [--background RRGGBB] [--force]\n"
    "       quenda comp add-clip MOVIE.cmp PICTURE.tga [--in-front-of I] [--yes]\n"
    "       quenda comp add-effect MOVIE.cmp KIND [--in-front-of I]\n"
    "       quenda comp add-virtual MOVIE.cmp [--in-front-of I]\n"
    "       quenda comp set-key MOVIE.cmp CLIP TRACK FRAME VALUE [--ease-in N] [--ease-out N]\n"
    "       quenda comp set-parent MOVIE.cmp CLIP PARENT|none [--frame F]\n"
    "       quenda comp set-start MOVIE.cmp CLIP START [--before B] [--after B]\n"
    "       quenda comp insert-key|delete-key MOVIE.cmp CLIP FRAME [KEY] [--yes]\n"
    "       quenda comp edit-key MOVIE.cmp CLIP FRAME [KEY] [--time F] [--a V] [--b V]\n"
    "                       [--ease-in N] [--ease-out N] [--ease-in-b N] [--ease-out-b N]\n"
    "       quenda comp copy-key MOVIE.cmp CLIP FRAME --to FILE.qkc\n"
    "       quenda comp paste-key MOVIE.cmp CLIP FRAME --from FILE.qkc [--yes]\n"
    "       quenda comp duplicate-clip|delete-clip MOVIE.cmp CLIP [--yes]\n"
    "       quenda comp hide-clip|show-clip|to-front|to-back MOVIE.cmp CLIP\n"
    "       quenda comp replace-clip MOVIE.cmp CLIP PICTURE.tga [--yes]\n"
    "       quenda comp settings MOVIE.cmp [--frames N] [--background RRGGBB]\n"
    "                       [--action-safe P] [--title-safe P] [--units pixel|cm|inch]\n"
    "                       [--dpi D]\n"
    "       quenda comp list MOVIE.cmp [--keys]\n"
    "Clips are counted from 0, the front layer; frames from 1. A new clip stands in front of\n"
    "clip I (default: at the front). KIND: blur, transparency, brightness-contrast,\n"
    "hue-saturation, directional-blur, underwater. TRACK: x, y, scale-x, scale-y, rotation\n"
    "(radians), or a and b for an effect's two values. B: stop, hold, loop, ping-pong.\n"
    "An effect's a and b: blur: blur x and y, 0..15; transparency: a 0..100 (b unused);\n"
    "brightness-contrast: brightness and contrast, -127..127; hue-saturation: hue and\n"
    "saturation, -127..127; directional-blur: blur 0..15 and direction 0..360 degrees;\n"
    "underwater: speed 0..100 and wave strength 0..50.\n"
    "KEY: position, scale or rotation, none for an effect clip. edit-key moves the key to\n"
    "--time and gives it the values --a (x, scale-x, rotation, effect a) and --b (y, scale-y,\n"
    "effect b) and the eases of the first key (--ease-in-b, --ease-out-b: a position's y key).\n"
    "copy-key writes the keys of the clip at the frame to a key clipboard file; paste-key puts\n"
    "them on a clip of the same kind at the frame.\n"
    "settings takes the fields of the Movie Settings dialog: safe frames in percent (1..50).\n"
    "A picture of a sequence brings the whole sequence; --yes lengthens the movie to fit it.\n"
    "The commands' questions are put to the user on a terminal; without one they are answered\n"
    "No unless --yes answers them Yes. A command that is refused or answered No leaves the\n"
    "movie as it was (exit code 1).\n"
    "A clip whose pictures are all gone is listed and kept: the movie is left as it was (exit\n"
    "code 1), unless --discard-missing discards it or replace-clip points that clip at new\n"
    "pictures.\n"
    "new leaves an existing MOVIE.cmp as it is unless --force replaces it. list --keys also\n"
    "shows each clip's keys (FRAME=VALUE, with (in/out) eases) and its start/end behaviour.\n"
    "An edit (every action but list) waits while another edit of the composition is under\n"
    "way, and says so; --no-wait refuses it at once instead (exit code 1).\n";

}  // namespace

int UsageError(CommandIo& io, const std::string& reason) {
  return ReportUsageError(io, "comp", reason, kUsage);
}

void HintAtCompressedPicture(CommandIo& io, const std::string& picture) {
  if (std::string hint = CompressedTargaHint(picture); !hint.empty())
    ReportFileError(io, "comp", picture, hint);
}

std::optional<double> ParseNumber(const std::string& text) {
  char* end = nullptr;
  double value = std::strtod(text.c_str(), &end);
  if (text.empty() || end != text.c_str() + text.size() || !std::isfinite(value))
    return std::nullopt;
  return value;
}

std::optional<uint32_t> ParseBackground(const std::string& text) {
  unsigned rgb = 0;
  if (text.size() != 6 || !std::all_of(text.begin(), text.end(), ::isxdigit) ||
      std::sscanf(text.c_str(), "%6x", &rgb) != 1)
    return std::nullopt;
  return ((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16);
}

namespace {

std::optional<ClipKind> EffectKindNamed(const std::string& name) {
  static const std::pair<const char*, ClipKind> kNames[] = {
      {"blur", ClipKind::Blur},
      {"transparency", ClipKind::Transparency},
      {"brightness-contrast", ClipKind::BrightnessContrast},
      {"hue-saturation", ClipKind::HueSaturation},
      {"directional-blur", ClipKind::DirectionalBlur},
      {"underwater", ClipKind::Underwater}};
  for (const auto& [text, kind] : kNames)
    if (name == text) return kind;
  return std::nullopt;
}

std::optional<int> TrackNamed(const std::string& name) {
  static const std::pair<const char*, int> kNames[] = {
      {"x", kPositionX},       {"y", kPositionY}, {"scale-x", kScaleX}, {"scale-y", kScaleY},
      {"rotation", kRotation}, {"a", kPositionX}, {"b", kPositionY}};
  for (const auto& [text, track] : kNames)
    if (name == text) return track;
  return std::nullopt;
}

std::optional<EdgeBehaviour> EdgeNamed(const std::string& name) {
  if (name == "stop") return EdgeBehaviour::Stop;
  if (name == "hold") return EdgeBehaviour::Hold;
  if (name == "loop") return EdgeBehaviour::Loop;
  if (name == "ping-pong") return EdgeBehaviour::PingPong;
  return std::nullopt;
}

int NewMovie(const Arguments& parsed, const std::string& path, CommandIo& io) {
  NewMovieValues values;
  if (auto name = parsed.Value("--preset")) {
    std::optional<MoviePreset> preset = FindMoviePreset(*name);
    if (!preset) {
      std::string known;
      for (const MoviePreset& p : kMoviePresets)
        known += (known.empty() ? "'" : ", '") + std::string(p.name) + "'";
      return UsageError(io, "unknown preset '" + *name + "'; the presets are " + known);
    }
    values.width = preset->width;
    values.height = preset->height;
    values.pixelAspect = preset->pixelAspect;
    values.frameRate = preset->frameRate;
  }
  if (auto text = parsed.Value("--size")) {
    auto size = ParseSize(*text, kMinMovieSide, kMaxMovieSide);
    if (!size) return UsageError(io, "--size must be WxH, each 16..2500");
    values.width = size->first;
    values.height = size->second;
  }
  if (auto text = parsed.Value("--frames")) {
    auto frames = ParseInt(*text, 1, kMaxMovieFrames);
    if (!frames) return UsageError(io, "--frames must be 1..5000");
    values.frames = *frames;
  }
  if (auto text = parsed.Value("--rate")) {
    auto rate = ParseInt(*text, 1, kMaxFrameRate);
    if (!rate) return UsageError(io, "--rate must be 1..100");
    values.frameRate = *rate;
  }
  if (auto text = parsed.Value("--aspect")) {
    auto aspect = ParseNumber(*text);
    if (!aspect) return UsageError(io, "--aspect must be a number");
    values.pixelAspect = float(*aspect);
  }
  if (auto text = parsed.Value("--background")) {
    std::optional<uint32_t> color = ParseBackground(*text);
    if (!color) return UsageError(io, "--background must be RRGGBB in hexadecimal");
    values.backgroundColor = *color;
  }
  if (Status checked = CheckNewMovieValues(values); !checked)
    return UsageError(io, checked.message());
  if (std::error_code ec; std::filesystem::exists(path, ec) && !parsed.Has("--force"))
    return ReportFileError(io, "comp", path,
                           "exists already; it is left as it is (--force replaces it)");
  ConsolePrompt prompt(io, false);
  prompt.Name("comp", path);
  CComposerDoc doc(prompt);
  auto skip = [] { return std::optional<NewMovieValues>(); };
  doc.OnNewDocument(skip);
  doc.OnNewDocument(skip);
  doc.OnNewDocument([&] { return std::optional(values); });
  if (Status saved = doc.Save(path); !saved)
    return ReportFileError(io, "comp", path, saved.message());
  io.out << "created " << path << ": " << values.width << " x " << values.height << ", "
         << values.frames << " frames at " << values.frameRate << " per second\n";
  return 0;
}

int Save(CComposerDoc& doc, const std::string& path, CommandIo& io) {
  if (Status saved = doc.Save(path); !saved)
    return ReportFileError(io, "comp", path, saved.message());
  ListClips(doc.composition(), io);
  return 0;
}

// replace-clip may point a clip whose pictures are all gone at new ones, as the program's
// "Where is clip" dialog does, when that clip is the only one lost.
bool RepointsTheLostClip(const Composition& c, const std::vector<std::string>& words) {
  if (words[0] != "replace-clip" || words.size() != 4) return false;
  std::optional<int> target = ParseInt(words[2], 0, c.clipCount() - 1);
  for (int i = 0; i < c.clipCount(); ++i) {
    const ClipRecord& clip = c.clips[std::size_t(i)];
    if (clip.IsImage() && i != target && CheckClipFrames(clip) == FrameCoverage::None) return false;
  }
  return target.has_value();
}

int RunCompCommand(std::span<const std::string> args, CommandIo& io) {
  Arguments parsed(args,
                   {"--preset",     "--size",        "--frames",  "--rate",     "--aspect",
                    "--background", "--in-front-of", "--ease-in", "--ease-out", "--frame",
                    "--before",     "--after",       "--time",    "--a",        "--b",
                    "--ease-in-b",  "--ease-out-b",  "--to",      "--from",     "--action-safe",
                    "--title-safe", "--units",       "--dpi"},
                   {"--yes", "--discard-missing", "--force", "--keys", "--no-wait"});
  if (!parsed.error().empty()) return UsageError(io, parsed.error());
  const std::vector<std::string>& words = parsed.positional();
  if (words.size() < 2) return UsageError(io, "give an action and a composition");
  const std::string& action = words[0];
  const std::string& path = words[1];
  std::optional<DocumentLock> lock;
  if (action != "list" && !(lock = LockDocumentForEdit(path, parsed.Has("--no-wait"), "comp", io)))
    return 1;
  if (action == "new") {
    if (words.size() != 2) return UsageError(io, "new takes only the composition");
    return NewMovie(parsed, path, io);
  }

  ConsolePrompt prompt(io, parsed.Has("--yes"), parsed.Has("--discard-missing"));
  prompt.Name("comp", path);
  CComposerDoc doc(prompt);
  if (Status opened = doc.Open(path); !opened)
    return ReportFileError(io, "comp", path, opened.message());
  if (prompt.keptLostParts() && !RepointsTheLostClip(doc.composition(), words))
    return ReportFileError(
        io, "comp", path,
        "the composition is left as it was; --discard-missing discards the missing clips");
  const Composition& c = doc.composition();
  auto clipIndex = [&](const std::string& text) { return ParseInt(text, 0, c.clipCount() - 1); };
  if (auto text = parsed.Value("--in-front-of")) {
    auto index = clipIndex(*text);
    if (!index) return UsageError(io, "--in-front-of must name a clip");
    doc.Select(*index);
  } else if (action.rfind("add-", 0) == 0) {
    doc.Select(-1);
  }

  EditRun run{parsed, words, doc, prompt, io};
  if (std::optional<int> edited = RunEditAction(run)) {
    if (*edited != kSaveDocument) return *edited;
    return Save(doc, path, io);
  }

  bool done = false;
  if (action == "list") {
    ListClips(c, io, parsed.Has("--keys"));
    return 0;
  } else if (action == "add-clip" && words.size() == 3) {
    // Stored absolute, so that a render from any working directory finds the pictures.
    done = doc.AddClipFromFile(AbsolutePath(words[2]));
    if (!done) HintAtCompressedPicture(io, words[2]);
    // The clip goes in either way; a movie left short for want of an answer says so.
    if (done && prompt.unanswered())
      ReportFileError(io, "comp", path,
                      "the movie keeps its " + std::to_string(doc.composition().frames) +
                          " frames: the question has no one to answer it without a terminal; "
                          "--yes answers Yes");
  } else if (action == "add-effect" && words.size() == 3) {
    auto kind = EffectKindNamed(words[2]);
    if (!kind) return UsageError(io, "unknown effect '" + words[2] + "'");
    done = doc.AddEffectClip(*kind);
  } else if (action == "add-virtual" && words.size() == 2) {
    done = doc.AddVirtualParent();
  } else if (action == "set-key" && words.size() == 6) {
    auto index = clipIndex(words[2]);
    auto track = TrackNamed(words[3]);
    // A key past the movie's end would be kept but never shown.
    auto frame = ParseInt(words[4], 1, c.frames);
    auto value = ParseNumber(words[5]);
    auto easeIn = ParseInt(parsed.Value("--ease-in").value_or("0"), 0, kMaxEase);
    auto easeOut = ParseInt(parsed.Value("--ease-out").value_or("0"), 0, kMaxEase);
    if (!index)
      return UsageError(io, "no clip " + words[2] + ": the clips are numbered 0 to " +
                                std::to_string(c.clipCount() - 1));
    if (!track)
      return UsageError(io, "no track " + words[3] +
                                ": the tracks are x, y, scale-x, scale-y, rotation, a and b");
    if (!frame)
      return UsageError(
          io, "no frame " + words[4] + ": the movie's frames are 1 to " + std::to_string(c.frames));
    if (!value) return UsageError(io, "the value " + words[5] + " is not a number");
    if (!easeIn || !easeOut) return UsageError(io, "--ease-in and --ease-out must be 0..10");
    const ClipRecord& clip = c.clips[std::size_t(*index)];
    if (clip.IsEffect() && *track > kPositionY)
      return UsageError(io, "clip " + words[2] + " is an effect clip: its tracks are a and b");
    if (Status range = CheckEffectValue(clip.kind, *track, *value); clip.IsEffect() && !range)
      return ReportFileError(io, "comp", path, range.message());
    done = doc.SetClipKey(*index, *track, {*frame - 1, *value, *easeIn, *easeOut});
  } else if (action == "set-parent" && words.size() == 4) {
    auto index = clipIndex(words[2]);
    auto parent = words[3] == "none" ? std::optional(-1) : clipIndex(words[3]);
    auto frame = ParseInt(parsed.Value("--frame").value_or("1"), 1, c.frames);
    if (!index || !parent || !frame) return UsageError(io, "set-parent needs two clips");
    doc.Select(*index);
    doc.GoToFrame(*frame - 1);
    done = doc.ChooseParent(*parent);
    if (!done && c.clips[std::size_t(*index)].IsEffect() && *parent >= 0)
      ReportFileError(
          io, "comp", path,
          "clip " + std::to_string(*index) + " is an effect clip: effect clips have no parent");
    else if (!done)
      ReportFileError(io, "comp", path,
                      "clip " + std::to_string(*parent) + " cannot be the parent of clip " +
                          std::to_string(*index));
  } else if (action == "set-start" && words.size() == 4) {
    auto index = clipIndex(words[2]);
    // Any whole number: the dialog's check names the range the clip allows.
    auto start =
        ParseInt(words[3], -std::numeric_limits<int>::max(), std::numeric_limits<int>::max());
    auto before = EdgeNamed(parsed.Value("--before").value_or("stop"));
    auto after = EdgeNamed(parsed.Value("--after").value_or("stop"));
    if (!index || !start || !before || !after)
      return UsageError(io, "set-start needs a clip, a frame and stop/hold/loop/ping-pong");
    doc.Select(*index);
    done = doc.SetStartEnd(*before, *after, *start);
    if (!done && !doc.LastStartFrame())
      ReportFileError(io, "comp", path, "clip " + std::to_string(*index) + " is no sequence");
  } else {
    return UsageError(io, "unknown action or wrong number of words: " + action);
  }
  if (!done) return 1;
  return Save(doc, path, io);
}

}  // namespace
}  // namespace comp

const Command& CompCommand() {
  static const Command kCommand{"comp", "build and edit a composition (.cmp)", comp::kUsage,
                                comp::RunCompCommand};
  return kCommand;
}

}  // namespace quenda::cli
