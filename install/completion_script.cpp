#include "install/completion_script.h"

#include <algorithm>
#include <regex>
#include <sstream>
#include <string_view>
#include <utility>
#include <vector>

namespace quenda::install {
namespace {

struct CommandWords {
  std::vector<std::string> verbs;    // "new", "add-level", ... of `quenda sheet VERB`
  std::vector<std::string> options;  // "--out", ..., in the order the usage shows them
  std::vector<std::string> valued;   // options followed by a value ("--out DIR")
  std::vector<std::pair<std::string, std::string>> choices;  // "--size", "full half quarter"
  std::vector<std::string> fileTypes;                        // "dgr", ...
};

void AddOnce(std::vector<std::string>& list, const std::string& word) {
  if (std::find(list.begin(), list.end(), word) == list.end()) list.push_back(word);
}

std::string Joined(const std::vector<std::string>& words, std::string_view between) {
  std::string out;
  for (const std::string& w : words) out += (out.empty() ? "" : std::string(between)) + w;
  return out;
}

// Calls `each` with every match of `pattern` in `text`.
template <class Each>
void ForEachMatch(const std::string& text, const std::regex& pattern, Each each) {
  for (std::sregex_iterator m(text.begin(), text.end(), pattern), end; m != end; ++m) each(*m);
}

CommandWords WordsOfUsage(const std::string& name, const std::string& usage) {
  static const std::regex option(R"((--[a-z][a-z0-9-]*))");
  static const std::regex withValue(R"((--[a-z][a-z0-9-]*) [A-Z])");
  // A list that ends in a metavariable ("previous|next|FRAME") is a value, not a choice.
  static const std::regex withChoice(
      R"((--[a-z][a-z0-9-]*) ([a-z0-9]+(\|[a-z0-9]+)+)(?![|A-Za-z0-9]))");
  static const std::regex fileType(R"(\b[A-Z][A-Z0-9_]*\.([a-z0-9]{2,4})\b)");
  const std::regex verb("quenda " + name + R"( ([a-z][a-z0-9-]*)\b)");
  CommandWords words;
  ForEachMatch(usage, verb, [&](const std::smatch& m) { AddOnce(words.verbs, m[1]); });
  ForEachMatch(usage, option, [&](const std::smatch& m) { AddOnce(words.options, m[1]); });
  AddOnce(words.options, "--help");
  ForEachMatch(usage, withValue, [&](const std::smatch& m) { AddOnce(words.valued, m[1]); });
  ForEachMatch(usage, withChoice, [&](const std::smatch& m) {
    std::string list = m[2];
    std::replace(list.begin(), list.end(), '|', ' ');
    const bool known = std::any_of(words.choices.begin(), words.choices.end(),
                                   [&](const auto& c) { return c.first == m[1]; });
    if (!known) words.choices.emplace_back(m[1], list);
  });
  ForEachMatch(usage, fileType, [&](const std::smatch& m) { AddOnce(words.fileTypes, m[1]); });
  return words;
}

}  // namespace

std::string CompletionScript(const HelpTexts& texts) {
  std::vector<std::string> commands;
  for (const CommandHelp& c : texts.commands) commands.push_back(c.name);
  std::ostringstream s;
  s << "# bash completion for quenda, made from the tool's help texts when it was built.\n"
       "_quenda() {\n"
       "  local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD - 1]}\n"
       "  if [ \"$COMP_CWORD\" -eq 1 ]; then\n"
       "    mapfile -t COMPREPLY < <(compgen -W \""
    << Joined(commands, " ")
    << " --help --version\" -- \"$cur\")\n"
       "    return\n"
       "  fi\n"
       "  local options='' choices='' types='' valued=''\n"
       "  case ${COMP_WORDS[1]} in\n";
  for (const CommandHelp& c : texts.commands) {
    const CommandWords words = WordsOfUsage(c.name, c.usage);
    s << "    " << c.name << ")\n      options='" << Joined(words.options, " ") << "'\n"
      << "      types='" << Joined(words.fileTypes, " ") << "'\n";
    if (!words.verbs.empty())
      s << "      if [ \"$COMP_CWORD\" -eq 2 ]; then\n"
        << "        mapfile -t COMPREPLY < <(compgen -W '" << Joined(words.verbs, " ")
        << " --help' -- \"$cur\")\n        return\n      fi\n";
    if (!words.choices.empty() || !words.valued.empty()) {
      s << "      case $prev in\n";
      for (const auto& [name, list] : words.choices)
        s << "        " << name << ") choices='" << list << "' ;;\n";
      std::vector<std::string> plain;
      for (const std::string& v : words.valued) {
        const bool chosen = std::any_of(words.choices.begin(), words.choices.end(),
                                        [&](const auto& c) { return c.first == v; });
        if (!chosen) plain.push_back(v);
      }
      if (!plain.empty()) s << "        " << Joined(plain, " | ") << ") valued=1 ;;\n";
      s << "      esac\n";
    }
    s << "      ;;\n";
  }
  s << "  esac\n"
       "  if [ -n \"$choices\" ]; then\n"
       "    mapfile -t COMPREPLY < <(compgen -W \"$choices\" -- \"$cur\")\n"
       "    return\n"
       "  fi\n"
       "  if [ -z \"$valued\" ] && [[ $cur == -* ]]; then\n"
       "    mapfile -t COMPREPLY < <(compgen -W \"$options\" -- \"$cur\")\n"
       "    return\n"
       "  fi\n"
       "  compopt -o filenames 2>/dev/null\n"
       "  if [ -n \"$valued\" ] || [ -z \"$types\" ]; then\n"
       "    mapfile -t COMPREPLY < <(compgen -f -- \"$cur\")\n"
       "    return\n"
       "  fi\n"
       "  mapfile -t COMPREPLY < <(compgen -d -- \"$cur\")\n"
       "  local type\n"
       "  for type in $types; do\n"
       "    mapfile -t -O \"${#COMPREPLY[@]}\" COMPREPLY < <(compgen -f -X \"!*.$type\" -- "
       "\"$cur\")\n"
       "  done\n"
       "}\n"
       "complete -F _quenda quenda\n";
  return s.str();
}

}  // namespace quenda::install
