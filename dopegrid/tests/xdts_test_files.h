#pragma once
// Timesheet files built in the tests: one time table of tracks of cells, as other programs
// write them.

#include <string>
#include <vector>

#include "dopegrid/core/xdts_file.h"

namespace quenda::testing {

inline std::string Cell(int frame, const std::string& value) {
  return R"({"frame": )" + std::to_string(frame) + R"(, "data": [{"id": 0, "values": [")" + value +
         R"("]}]})";
}

// A file of one time table: `tracks` are the field's tracks, `extra` more table members.
inline std::string Timesheet(int duration, const std::string& tracks,
                             const std::string& extra = "") {
  return std::string(kXdtsFirstLine) +
         "\n{\"timeTables\": [{\"name\": \"t\", \"duration\": " + std::to_string(duration) +
         ", \"fields\": [{\"fieldId\": 0, \"tracks\": [" + tracks + "]}]" + extra +
         "}], \"version\": 5}";
}

inline std::string Track(int number, const std::vector<std::string>& cells) {
  std::string frames;
  for (const std::string& cell : cells) frames += (frames.empty() ? "" : ", ") + cell;
  return "{\"trackNo\": " + std::to_string(number) + ", \"frames\": [" + frames + "]}";
}

}  // namespace quenda::testing
