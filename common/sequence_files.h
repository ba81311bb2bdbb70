#pragma once
// The files a drawing sequence keeps in its folder, found and removed together: a new
// sequence written under a name that is taken would overwrite some drawings and leave the
// others, and their region and paint files, describing other pictures.

#include <functional>
#include <string>
#include <vector>

#include "common/result.h"

namespace quenda {

enum class ColorSetFile { Kept, Included };

// The drawings (.qds), region (.rgn) and paint (.pnt) files of sequence `name` in `directory`,
// names matched without regard to case, and with ColorSetFile::Included its colour set
// (name + ".col") as well; sorted.
std::vector<std::string> ExistingSequenceFiles(const std::string& directory,
                                               const std::string& name, ColorSetFile colorSet);
// How many of `files` are drawings.
int CountDrawings(const std::vector<std::string>& files);

// Removes `files` in order; `removed` hears each one gone. The first that cannot be removed
// stops it: "Could not remove " + path + ": " + the reason.
Status RemoveSequenceFiles(const std::vector<std::string>& files,
                           const std::function<void(const std::string&)>& removed = {});

}  // namespace quenda
