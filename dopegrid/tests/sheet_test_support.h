#pragma once
// Helpers for the exposure sheet tests: small sequences on disk and readable sheet columns.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/scripted_prompt.h"
#include "dopegrid/core/dopegrid_doc.h"
#include "testing/test_support.h"

namespace quenda::testing {

// Writes name1.qds .. name<count>.qds (small drawings) into `directory`; answers the first.
std::string WriteTinySequence(const std::string& directory, const std::string& name, int count,
                              int width = 9, int height = 7);

// The labels of frames first..first+count-1 of a level, blank-separated; "." for empty.
std::string LevelText(const CDopegridDoc& doc, int level, int first, int count);

// A document holding the sequences written by WriteTinySequence for each name (in order).
void AddSequences(CDopegridDoc& doc, const TempDir& dir, const std::vector<std::string>& names,
                  int count);

// Selects `pictures` of sequence `sequence` and transfers them at (level, frame) on `spacing`.
void TransferAt(CDopegridDoc& doc, int sequence, std::vector<int> pictures, int level, int frame,
                int spacing);

// A new document, a folder for its drawings and the prompt it talks to.
class SheetDocument : public ::testing::Test {
 protected:
  TempDir dir;
  ScriptedPrompt prompt;
  CDopegridDoc doc{prompt};
};

}  // namespace quenda::testing
