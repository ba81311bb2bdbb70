// `quenda sheet` editing verbs against the document's own commands, and `sheet print` against
// the print layout, read back by pdftotext.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <sstream>

#include "cli/tests/tool_run.h"
#include "common/scripted_prompt.h"
#include "dopegrid/print/sheet_printer.h"
#include "testing/pdf_text.h"
#include "testing/test_support.h"

namespace quenda::cli {
namespace {

using namespace quenda::testing;

class SheetEditTool : public ::testing::Test {
 protected:
  // Two sequences on two levels: walk on twos on "default" from frame 1, run on twos on
  // "front" from frame 2.
  void SetUp() override {
    for (const char* name : {"walk", "run"})
      RunAll({{"sample", dir.File(name), "--name", name, "--frames", "4", "--size", "47x33",
               "--dpi", "100"}});
    RunAll({{"sheet", "new", base},
            {"sheet", "add-sequence", base, dir.File("walk/walk1.qds")},
            {"sheet", "add-sequence", base, dir.File("run/run1.qds")},
            {"sheet", "transfer", base, "--sequence", "1", "--pictures", "1-4", "--level", "0",
             "--frame", "1", "--on", "2"},
            {"sheet", "add-level", base, "front"},
            {"sheet", "transfer", base, "--sequence", "2", "--pictures", "1-4", "--level", "front",
             "--frame", "2", "--on", "2"}});
  }
  // The base sheet after `edit` in the document, with every question answered Yes, as saved.
  std::vector<uint8_t> CoreResult(const std::function<void(CDopegridDoc&)>& edit) {
    ScriptedPrompt prompt;
    prompt.QueueAnswer(true);
    CDopegridDoc doc(prompt);
    EXPECT_TRUE(doc.OnOpenDocument(base));
    edit(doc);
    EXPECT_TRUE(doc.OnSaveDocument(dir.File("core.dgr")));
    return ReadBytes(dir.File("core.dgr"));
  }

  TempDir dir;
  std::string base = dir.File("base.dgr");
  std::string sheet = dir.File("edited.dgr");
  std::string clip = dir.File("cells.clip");
};

TEST_F(SheetEditTool, EachVerbSavesWhatTheDocumentCommandDoes) {
  using Edit = std::function<void(CDopegridDoc&)>;
  auto select = [](SheetSelection s, void (CDopegridDoc::*command)()) {
    return Edit([=](CDopegridDoc& doc) { doc.SetSelection(s), (doc.*command)(); });
  };
  auto copyThenPaste = [](SheetSelection s, int level, int frame) {
    return Edit([=](CDopegridDoc& doc) {
      doc.SetSelection(s), doc.Copy(), doc.SetCurrentCell(level, frame), doc.Paste();
    });
  };
  const std::string copy = "copy --to " + clip + " --levels default --frames 1-6 && ";
  const struct {
    std::string runs;  // tool runs on the sheet, "&&" between them
    Edit edit;
  } kCases[] = {
      {"cut --to " + clip + " --levels front,default --frames 2-5",
       select({0, 1, 1, 4}, &CDopegridDoc::Cut)},
      {"condense --levels 1 --frames 1-8", select({1, 0, 1, 7}, &CDopegridDoc::Condense)},
      {"expand --frames 1-4", select({0, 0, 1, 3}, &CDopegridDoc::Expand)},
      {"reverse --levels front --frames 2-9", select({0, 1, 0, 8}, &CDopegridDoc::Reverse)},
      {copy + "paste --from " + clip + " --level front --frame 12",
       copyThenPaste({1, 0, 1, 5}, 0, 11)},
      {copy + "paste --from " + clip + " --level 1 --frame 97 --crop",
       copyThenPaste({1, 0, 1, 5}, 1, 96)},
      {"delete-level front --yes", [](CDopegridDoc& doc) { doc.DeleteLevel(0); }},
      {"swap-levels default 0",
       [](CDopegridDoc& doc) {
         doc.SwapLevels(std::vector<int>{1, 0});
       }},
      {"rename-level 1 back", [](CDopegridDoc& doc) { doc.RenameLevel(1, "back"); }},
      {"remove-sequence 1 --yes",
       [](CDopegridDoc& doc) { doc.SelectSequence(0), doc.RemoveSequence(); }},
  };
  for (const auto& c : kCases) {
    std::filesystem::copy_file(base, sheet, std::filesystem::copy_options::overwrite_existing);
    std::istringstream runs(c.runs);
    for (std::string run; std::getline(runs, run, '&');) {
      std::istringstream words(run);
      std::vector<std::string> args{"sheet"};
      for (std::string word; words >> word;) args.push_back(word);
      if (args.size() == 1) continue;
      args.insert(args.begin() + 2, sheet);
      ToolOutput out = RunTool(args);
      EXPECT_EQ(out.code, 0) << run << "\n" << out.err;
    }
    EXPECT_EQ(ReadBytes(sheet), CoreResult(c.edit)) << c.runs;
  }
}

TEST_F(SheetEditTool, ExpandKeepsCellsItWouldPushOffTheEndUnlessToldOtherwise) {
  // walk's four drawings on the last four frames of "default".
  RunAll({{"sheet", "transfer", base, "--sequence", "1", "--pictures", "1-4", "--level", "default",
           "--frame", "97", "--on", "1", "--overwrite"}});
  const std::vector<uint8_t> before = ReadBytes(base);
  const std::vector<std::string> expand{"sheet",   "expand",   base,    "--levels",
                                        "default", "--frames", "97-100"};
  const std::string named = "quenda sheet: " + base + ": ";
  ExpectRun(expand, 2,
            named +
                "Expanding pushes 2 cells past the last frame of the sheet, where they are lost. "
                "Expand anyway? [no]\n" +
                named +
                "the sheet is left as it is: expanding pushes 2 cells past its 100 frames; it "
                "needs 103 (--extend lengthens it, --yes drops them)\n",
            "");
  EXPECT_EQ(ReadBytes(base), before);

  const SheetSelection block{1, 96, 1, 99};
  for (const char* option : {"--extend", "--yes"}) {
    std::filesystem::copy_file(base, sheet, std::filesystem::copy_options::overwrite_existing);
    std::vector<std::string> args = expand;
    args[2] = sheet;
    args.emplace_back(option);
    ToolOutput run = RunTool(args);
    EXPECT_EQ(run.code, 0) << option << "\n" << run.err;
    const bool extend = std::string_view(option) == "--extend";
    EXPECT_EQ(ReadBytes(sheet), CoreResult([&](CDopegridDoc& doc) {
                if (extend) doc.AddFrames(3);
                doc.SetSelection(block);
                doc.Expand();
              }))
        << option;
  }
}

TEST_F(SheetEditTool, RefusalsLeaveTheSheetAsItWasAndPrintsAreThePagesOfThePrintLayout) {
  RunAll({{"sheet", "copy", base, "--to", clip, "--frames", "1-6"},
          {"sheet", "new", dir.File("empty.dgr")}});
  const std::vector<uint8_t> before = ReadBytes(base);
  std::vector<uint8_t> damaged = ReadBytes(clip);
  damaged.pop_back();
  WriteBytes(dir.File("damaged.clip"), damaged);
  const std::string named = "quenda sheet: " + base + ": ";
  const std::string damagedClip = dir.File("damaged.clip");
  const struct {
    std::vector<std::string> args;
    int code;
    std::string err;  // its first line for a usage error
  } kCases[] = {
      {{"delete-level", base, "front"},
       2,
       named + "Are you sure you want to delete level \"front\" [no]\n" + named +
           "the sheet is left as it is: the question has no one to answer it without a "
           "terminal; --yes answers Yes\n"},
      {{"paste", base, "--from", clip, "--level", "default", "--frame", "96"},
       1,
       named + "7 cells of the clipboard fall outside the sheet's 2 levels and 100 frames "
               "(--crop pastes the rest)\n"},
      {{"paste", base, "--from", damagedClip, "--level", "0", "--frame", "1"},
       1,
       "quenda sheet: " + damagedClip + ": " + damagedClip +
           " is incomplete or damaged and could not be read.\n"},
      {{"swap-levels", base, "front", "0"},
       1,
       named + "You must select exactly two levels to swap their places.\n"},
      {{"reverse", base, "--levels", "0,5"},
       2,
       "quenda sheet: --levels must name adjacent levels of the sheet, by index or name\n"},
      {{"reverse", dir.File("empty.dgr")},
       1,
       "quenda sheet: " + dir.File("empty.dgr") +
           ": the sheet holds no sequence, so 'reverse' changes nothing\n"},
  };
  for (const auto& c : kCases) {
    std::vector<std::string> args = c.args;
    args.insert(args.begin(), "sheet");
    ToolOutput out = RunTool(args);
    EXPECT_EQ(out.code, c.code) << c.args[0];
    EXPECT_EQ(c.code == 2 ? out.err.substr(0, c.err.size()) : out.err, c.err) << c.args[0];
    EXPECT_EQ(out.out, "") << c.args[0];
    EXPECT_EQ(ReadBytes(base), before) << c.args[0];
  }

  const std::string pdf = dir.File("sheet.pdf");
  ToolOutput whole = ExpectRun({"sheet", "print", base, "--pdf", pdf}, 0, "");
  EXPECT_EQ(whole.out, "wrote " + pdf + ": 4 pages\n");
  PdfText text = ReadPdfText(pdf);
  EXPECT_EQ(text.pages, PrintPageCount(100));
  for (const char* word : {"base.dgr", "front", "default", "Frm", "FRM", "Notes", "w1", "r4", "\""})
    EXPECT_TRUE(text.Has(word)) << word;
  for (int frame = 1; frame <= 100; ++frame) EXPECT_TRUE(text.Has(std::to_string(frame))) << frame;

  ASSERT_EQ(RunTool({"sheet", "frames", base, "--add", "1"}).code, 0);
  const struct {
    const char* pages;
    int count, first, last;
  } kRanges[] = {{"2-3", 2, 26, 75}, {"5", 1, 101, 101}};
  for (const auto& r : kRanges) {
    ASSERT_EQ(RunTool({"sheet", "print", base, "--pdf", pdf, "--pages", r.pages}).code, 0);
    text = ReadPdfText(pdf);
    EXPECT_EQ(text.pages, r.count) << r.pages;
    for (int frame : {r.first, r.last}) EXPECT_TRUE(text.Has(std::to_string(frame)));
    for (int frame : {r.first - 1, r.last + 1})
      EXPECT_FALSE(text.Has(std::to_string(frame))) << r.pages << " " << frame;
  }
  ToolOutput beyond = RunTool({"sheet", "print", base, "--pdf", pdf, "--pages", "5-6"});
  EXPECT_EQ(beyond.code, 2);
  EXPECT_TRUE(
      beyond.err.starts_with("quenda sheet: --pages must be A-B within the sheet's 5 "
                             "pages\n"))
      << beyond.err;
}

}  // namespace
}  // namespace quenda::cli
