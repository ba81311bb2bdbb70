#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "cli/command.h"

namespace quenda::cli {
namespace {

struct ToolRun {
  int code;
  std::string out;
  std::string err;
};

ToolRun ToolRunOf(std::vector<std::string> args) {
  std::ostringstream out, err;
  CommandIo io{out, err};
  int code = RunQuenda(args, io);
  return {code, out.str(), err.str()};
}

TEST(Quenda, UnknownOrMissingCommandIsAUsageError) {
  ToolRun none = ToolRunOf({});
  EXPECT_EQ(none.code, 2);
  EXPECT_NE(none.err.find("usage: quenda COMMAND"), std::string::npos);

  ToolRun bad = ToolRunOf({"frobnicate"});
  EXPECT_EQ(bad.code, 2);
  EXPECT_NE(bad.err.find("unknown command 'frobnicate'"), std::string::npos);
}

TEST(Quenda, HelpListsEveryCommandAndEachHasItsOwnHelp) {
  ToolRun help = ToolRunOf({"--help"});
  EXPECT_EQ(help.code, 0);
  for (const Command& c : AllCommands()) {
    EXPECT_NE(help.out.find(std::string(c.name)), std::string::npos) << c.name;
    ToolRun own = ToolRunOf({std::string(c.name), "--help"});
    EXPECT_EQ(own.code, 0) << c.name;
    EXPECT_EQ(own.out, std::string(c.usage)) << c.name;
    EXPECT_FALSE(own.out.empty()) << c.name;
  }
}

}  // namespace
}  // namespace quenda::cli
