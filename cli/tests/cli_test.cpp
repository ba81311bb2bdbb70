#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "cli/console_prompt.h"
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

// A question of named buttons: numbered on a terminal, where the number or the button's first
// word chooses; the input ending, or no terminal at all, answers nothing.
TEST(ConsolePrompt, ChoicesAreAskedOnATerminalAndLeftUnansweredWithoutOne) {
  const ChoiceQuestion question{"Quenda",
                                "Do you want to change the selection box?",
                                "",
                                {"No. Continue Scan", "Yes. Stop scan"}};
  const std::string asked =
      "quenda scan: /shots/: Quenda: Do you want to change the selection box? [1] No. Continue "
      "Scan [2] Yes. Stop scan: ";
  const struct {
    const char* typed;
    std::optional<int> chosen;
    std::string said;  // after the question
  } kCases[] = {
      {"2\n", 1, ""},
      {" no \n", 0, ""},
      {"3\nYES\n", 1, "Answer 1 to 2: "},
      {"", std::nullopt, "\n"},
  };
  for (const auto& c : kCases) {
    std::ostringstream err;
    std::istringstream in(c.typed);
    ConsolePrompt prompt(err, false, false, {&in, true});
    prompt.Name("scan", "/shots/");
    EXPECT_EQ(prompt.AskChoice(question), c.chosen) << c.typed;
    EXPECT_EQ(err.str(), asked + c.said) << c.typed;
    EXPECT_FALSE(prompt.unanswered()) << c.typed;
  }
  std::ostringstream err;
  std::istringstream in("1\n");
  ConsolePrompt headless(err, false, false, {&in, false});
  EXPECT_EQ(headless.AskChoice(question), std::nullopt);
  EXPECT_EQ(err.str(),
            "Quenda: Do you want to change the selection box? [No. Continue Scan] "
            "[Yes. Stop scan] [no answer]\n");
  EXPECT_TRUE(headless.unanswered());
}

}  // namespace
}  // namespace quenda::cli
