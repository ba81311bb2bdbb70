// `quenda colors`: lists a sequence's colour set and adds colours to it.

#include <filesystem>

#include "cli/arguments.h"
#include "cli/commands.h"
#include "cli/console_prompt.h"
#include "cli/edit_lock.h"
#include "common/color_set.h"

namespace quenda::cli {
namespace {

constexpr std::string_view kUsage =
    "usage: quenda colors SEQ.col [--add NAME R G B ...] [--list] [--no-wait]\n"
    "Adds each colour (NAME at most 8 characters, R G B each 0..255) to the colour set and\n"
    "saves it; a missing set is made with the default entries first. --list prints every\n"
    "entry as 'INDEX NAME R G B'. Adding waits while another edit of the set is under way,\n"
    "and says so; --no-wait refuses it at once instead (exit code 1).\n";

int UsageError(CommandIo& io, const std::string& reason) {
  return ReportUsageError(io, "colors", reason, kUsage);
}

struct NewColour {
  std::string name;
  int red, green, blue;
};

int RunColors(std::span<const std::string> args, CommandIo& io) {
  std::string path;
  std::vector<NewColour> added;
  bool list = false, noWait = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--list") {
      list = true;
    } else if (args[i] == "--no-wait") {
      noWait = true;
    } else if (args[i] == "--add") {
      if (i + 4 >= args.size()) return UsageError(io, "--add takes NAME R G B");
      auto r = ParseInt(args[i + 2], 0, 255), g = ParseInt(args[i + 3], 0, 255),
           b = ParseInt(args[i + 4], 0, 255);
      if (args[i + 1].empty() || !r || !g || !b)
        return UsageError(io, "--add takes NAME R G B, each number from 0 to 255");
      // The set keeps eight characters; a longer name would be stored cut short.
      if (args[i + 1].size() > std::size_t(kColorNameLimit))
        return UsageError(io, "the colour name '" + args[i + 1] + "' has more than " +
                                  std::to_string(kColorNameLimit) + " characters");
      added.push_back({args[i + 1], *r, *g, *b});
      i += 4;
    } else if (args[i].starts_with("--")) {
      return UsageError(io, "unknown option " + args[i]);
    } else if (path.empty()) {
      path = args[i];
    } else {
      return UsageError(io, "give exactly one colour set");
    }
  }
  if (path.empty()) return UsageError(io, "give exactly one colour set");
  if (added.empty() && !list) return UsageError(io, "give --add or --list");

  std::optional<DocumentLock> lock;
  if (!added.empty() && !(lock = LockDocumentForEdit(path, noWait, "colors", io))) return 1;
  // Listing reads only: the painter's new empty set is for a sequence being painted.
  std::error_code ignored;
  if (added.empty() && !std::filesystem::exists(path, ignored))
    return ReportFileError(io, "colors", path, "the colour set does not exist");
  ConsolePrompt prompt(io, false);
  prompt.Name("colors", path);
  ColorSet set;
  LoadColorSet(set, path, prompt);
  int code = 0;
  if (!added.empty()) {
    for (const NewColour& c : added) {
      if (!AddColor(set, c.name, c.red, c.green, c.blue)) {
        code = ReportFileError(io, "colors", path, "Maximum color number reached!");
        break;
      }
      io.out << "added " << set.entries[set.count - 1].name << " as colour " << set.count - 1
             << "\n";
    }
    if (!SaveColorSet(set, prompt)) return 1;
  }
  if (list) {
    for (int i = 0; i < set.count; ++i) {
      const ColorEntry& e = set.entries[i];
      io.out << i << " " << e.name << " " << int(e.red) << " " << int(e.green) << " " << int(e.blue)
             << "\n";
    }
  }
  return code;
}

}  // namespace

const Command& ColorsCommand() {
  static const Command kCommand{"colors", "list a colour set or add colours to it", kUsage,
                                RunColors};
  return kCommand;
}

}  // namespace quenda::cli
