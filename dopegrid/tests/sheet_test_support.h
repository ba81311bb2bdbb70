#pragma once
// Helpers for the exposure sheet tests: small sequences on disk and readable sheet columns.

#include <string>
#include <vector>

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

}  // namespace quenda::testing
