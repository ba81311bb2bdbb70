#include <gtest/gtest.h>

#include <string>

#include "cli/tests/tool_run.h"

namespace quenda::cli {
namespace {

TEST(Quenda, UnknownOrMissingCommandIsAUsageError) {
  ToolOutput none = RunTool({});
  EXPECT_EQ(none.code, 2);
  EXPECT_NE(none.err.find("usage: quenda COMMAND"), std::string::npos);

  ToolOutput bad = RunTool({"frobnicate"});
  EXPECT_EQ(bad.code, 2);
  EXPECT_NE(bad.err.find("unknown command 'frobnicate'"), std::string::npos);
}

TEST(Quenda, HelpListsEveryCommandAndEachHasItsOwnHelp) {
  ToolOutput help = RunTool({"--help"});
  EXPECT_EQ(help.code, 0);
  for (const Command& c : AllCommands()) {
    EXPECT_NE(help.out.find(std::string(c.name)), std::string::npos) << c.name;
    ToolOutput own = RunTool({std::string(c.name), "--help"});
    EXPECT_EQ(own.code, 0) << c.name;
    EXPECT_EQ(own.out, std::string(c.usage)) << c.name;
    EXPECT_FALSE(own.out.empty()) << c.name;
  }
}

}  // namespace
}  // namespace quenda::cli
