#include "install/help_texts.h"

#include <sstream>
#include <vector>

#include "cli/command.h"

namespace quenda::install {
namespace {

std::string Printed(std::vector<std::string> args) {
  std::ostringstream out, err;
  cli::CommandIo io{out, err};
  cli::RunQuenda(args, io);
  return out.str();
}

}  // namespace

HelpTexts CollectHelpTexts() {
  HelpTexts texts;
  texts.version = Printed({"--version"});
  while (!texts.version.empty() && texts.version.back() == '\n') texts.version.pop_back();
  texts.overview = Printed({"--help"});
  for (const cli::Command& c : cli::AllCommands()) {
    const std::string name(c.name);
    texts.commands.push_back({name, std::string(c.summary), Printed({name, "--help"})});
  }
  return texts;
}

}  // namespace quenda::install
