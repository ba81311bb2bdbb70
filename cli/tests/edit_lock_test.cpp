// Two edits of one document at once, with the real tool in processes of its own: an edit waits
// for the one holding the document, or refuses with --no-wait, and no edit is lost.

#include <gtest/gtest.h>

#include <set>

#include "cli/tests/tool_process.h"
#include "cli/tests/tool_run.h"
#include "common/color_set.h"
#include "common/document_lock.h"
#include "common/scripted_prompt.h"
#include "testing/test_support.h"

namespace quenda::cli {
namespace {

using namespace quenda::testing;

struct EditCase {
  const char* what;
  std::string document;  // its name in the test's folder
  std::vector<std::string> make;
  std::vector<std::string> edit;  // DOC stands for the document's path
  const char* command;
};

std::vector<std::string> WithPath(std::vector<std::string> words, const std::string& path) {
  for (std::string& word : words)
    if (word == "DOC") word = path;
  return words;
}

const EditCase kEdits[] = {
    {"sheet", "walk.dgr", {"sheet", "new", "DOC"}, {"sheet", "add-level", "DOC", "ink"}, "sheet"},
    {"composition", "walk.cmp", {"comp", "new", "DOC"}, {"comp", "add-virtual", "DOC"}, "comp"},
    {"colour set",
     "walk.col",
     {"colors", "DOC", "--add", "skin", "250", "200", "180"},
     {"colors", "DOC", "--add", "shirt", "10", "20", "200"},
     "colors"},
};

class EditLock : public ::testing::TestWithParam<EditCase> {
 protected:
  void SetUp() override { RunAll({WithPath(GetParam().make, document)}); }
  std::vector<std::string> Edit(bool noWait) {
    std::vector<std::string> words = WithPath(GetParam().edit, document);
    if (noWait) words.push_back("--no-wait");
    return words;
  }

  TempDir dir;
  std::string document = dir.File(GetParam().document);
  std::string errors = dir.File("errors.txt");
};

TEST_P(EditLock, WithNoWaitASecondEditIsRefusedNamingTheDocument) {
  const std::vector<uint8_t> before = ReadBytes(document);
  Result<DocumentLock> first = DocumentLock::Acquire(document, LockWait::RefuseIfBusy);
  ASSERT_TRUE(first.ok() && first->held());
  ToolProcess second(Edit(true), errors);
  EXPECT_EQ(second.Wait(), 1);
  EXPECT_EQ(ReadText(errors), std::string("quenda ") + GetParam().command + ": " + document +
                                  ": another edit of this document is under way; it is left as "
                                  "it is\n");
  EXPECT_EQ(ReadBytes(document), before);
}

TEST_P(EditLock, ASecondEditWaitsForTheFirstThenMakesItsChange) {
  const std::vector<uint8_t> before = ReadBytes(document);
  std::optional<DocumentLock> first;
  {
    Result<DocumentLock> taken = DocumentLock::Acquire(document, LockWait::RefuseIfBusy);
    ASSERT_TRUE(taken.ok() && taken->held());
    first = std::move(*taken);
  }
  ToolProcess second(Edit(false), errors);
  const std::string waiting = std::string("quenda ") + GetParam().command + ": " + document +
                              ": waiting for another edit of this document to finish\n";
  ASSERT_TRUE(WaitFor([&] { return ReadText(errors) == waiting || !second.running(); }))
      << ReadText(errors);
  EXPECT_TRUE(second.running()) << "the second edit did not wait: " << ReadText(errors);
  EXPECT_EQ(ReadBytes(document), before);
  first.reset();
  EXPECT_EQ(second.Wait(), 0) << ReadText(errors);
  EXPECT_NE(ReadBytes(document), before);
}

TEST_P(EditLock, ReadingTakesNoLock) {
  if (GetParam().command == std::string("colors")) {
    Result<DocumentLock> first = DocumentLock::Acquire(document, LockWait::RefuseIfBusy);
    ToolProcess reader({"colors", document, "--list", "--no-wait"}, errors);
    EXPECT_EQ(reader.Wait(), 0) << ReadText(errors);
    return;
  }
  Result<DocumentLock> first = DocumentLock::Acquire(document, LockWait::RefuseIfBusy);
  const char* read = GetParam().command == std::string("sheet") ? "show" : "list";
  ToolProcess reader({GetParam().command, read, document, "--no-wait"}, errors);
  EXPECT_EQ(reader.Wait(), 0) << ReadText(errors);
}

INSTANTIATE_TEST_SUITE_P(Documents, EditLock, ::testing::ValuesIn(kEdits),
                         [](const auto& info) { return std::string(info.param.command); });

// Many edits at once, each adding its own colour: every one is in the set afterwards.
TEST(EditLockTogether, EditsRunAtOnceAllReachTheDocument) {
  TempDir dir;
  const std::string set = dir.File("walk.col");
  RunAll({{"colors", set, "--add", "skin", "250", "200", "180"}});
  constexpr int kEditors = 8;
  std::vector<std::unique_ptr<ToolProcess>> editors;
  for (int i = 0; i < kEditors; ++i)
    editors.push_back(std::make_unique<ToolProcess>(
        std::vector<std::string>{"colors", set, "--add", "c" + std::to_string(i), "1", "2", "3"},
        dir.File("errors" + std::to_string(i) + ".txt")));
  for (auto& editor : editors) EXPECT_EQ(editor->Wait(), 0);
  ColorSet colors;
  ScriptedPrompt prompt;
  ASSERT_TRUE(LoadColorSet(colors, set, prompt));
  std::set<std::string> names;
  for (int i = 0; i < colors.count; ++i) names.insert(colors.entries[i].name);
  for (int i = 0; i < kEditors; ++i) EXPECT_TRUE(names.count("c" + std::to_string(i))) << i;
}

}  // namespace
}  // namespace quenda::cli
