#include "common/changed_file_questions.h"

#include "common/path.h"

namespace quenda {
namespace {

// "walk1.rgn", "walk1.rgn and walk1.pnt", "walk1.rgn, walk1.pnt and walk.col".
std::string Listed(const std::vector<std::string>& names) {
  std::string listed;
  for (size_t i = 0; i < names.size(); ++i) {
    if (i > 0) listed += i + 1 == names.size() ? " and " : ", ";
    listed += names[i];
  }
  return listed;
}

// "walk1.rgn was changed on disk by another program since it was read here."
std::string ChangedSinceRead(const std::vector<std::string>& names) {
  const bool one = names.size() == 1;
  return Listed(names) + (one ? " was" : " were") + " changed on disk by another program since " +
         (one ? "it was" : "they were") + " read here.";
}

}  // namespace

ChangedFileAnswer AskBeforeOverwriting(Prompt& prompt, const std::string& caption,
                                       const std::vector<std::string>& names) {
  const std::optional<int> answer = prompt.AskChoice(
      {caption,
       ChangedSinceRead(names) + " Saving replaces those changes with this window's.",
       {},
       {"Overwrite", "Save As…", "Cancel"}});
  if (answer == 0) return ChangedFileAnswer::Overwrite;
  if (answer == 1) return ChangedFileAnswer::SaveAs;
  return ChangedFileAnswer::Cancel;
}

bool AskBeforeActingOnChanged(Prompt& prompt, const std::string& caption,
                              const std::vector<std::string>& names, const std::string& consequence,
                              const std::string& goOn) {
  return prompt.AskChoice(
             {caption, ChangedSinceRead(names) + " " + consequence, {}, {goOn, "Cancel"}}) == 0;
}

bool AskToReload(Prompt& prompt, const std::string& caption, const std::vector<std::string>& names,
                 bool modified) {
  const bool one = names.size() == 1;
  const std::string text = Listed(names) + (one ? " was" : " were") +
                           " changed on disk by another program. Reload " + (one ? "it" : "them") +
                           (modified ? " and lose the changes made here?" : "?");
  return prompt.AskChoice({caption, text, {}, {"Reload", "Keep This Version"}}) == 0;
}

std::vector<std::string> FileNamesOf(const std::vector<std::string>& paths) {
  std::vector<std::string> names;
  for (const std::string& path : paths) names.push_back(FileNameOf(path));
  return names;
}

}  // namespace quenda
