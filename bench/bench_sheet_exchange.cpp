// How long a full sheet takes to leave for and come back from other programs: 49 levels by
// 1999 frames, a drawing change every one to three frames, exported to an XDTS timesheet and to
// CSV and imported back (read, drawings found on disk, sheet saved), each through its files.
//
//   bench_sheet_exchange [--runs N]

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "common/atomic_file.h"
#include "dopegrid/core/sheet_csv.h"
#include "dopegrid/core/sheet_file.h"
#include "dopegrid/core/xdts_file.h"

namespace quenda {
namespace {

using Clock = std::chrono::steady_clock;

double Median(std::vector<double> times) {
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

void Report(const char* what, const std::vector<double>& times) {
  std::printf("%-34s median %7.1f ms   best %7.1f ms\n", what, Median(times) * 1000,
              *std::min_element(times.begin(), times.end()) * 1000);
}

double Time(const std::function<bool()>& work) {
  Clock::time_point start = Clock::now();
  if (!work()) {
    std::fprintf(stderr, "bench_sheet_exchange: a step failed\n");
    std::exit(1);
  }
  return std::chrono::duration<double>(Clock::now() - start).count();
}

int Run(int runs) {
  const std::string dir =
      (std::filesystem::temp_directory_path() / "quenda-bench-exchange/").string();
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  // Three sequences of 200 drawings (empty files: only their names are read).
  std::vector<DrawingSequence> sequences;
  for (const char* name : {"walk", "run", "mouth"}) {
    for (int i = 1; i <= 200; ++i)
      (void)WriteFileAtomically(dir + name + std::to_string(i) + ".qds", std::string_view(),
                                WriteMessages("cannot write"));
    sequences.push_back(OpenSequence(dir + name + "1.qds", std::string(name) + "1"));
  }
  std::mt19937 random(7);
  CSheetGrid sheet;
  sheet.frameCount = kMaxSheetFrames;
  for (int l = 0; l < kMaxLevels; ++l) {
    sheet.AddLevel("level" + std::to_string(l));
    const int s = l % 3;
    for (int f = 0; f < sheet.frameCount;) {
      const int run = 1 + int(random() % 3), picture = int(random() % 200);
      for (int i = 0; i < run && f < sheet.frameCount; ++i, ++f)
        sheet.Cell(l, f) = {CellKind::Key, l % 7 == 0 ? int(random() % 3) : s, picture};
    }
  }
  sheet.NormaliseHolds();
  const ExchangeImportOptions options{SequenceChoicesFor(sheet, sequences), {dir}};

  std::vector<double> xdtsOut, xdtsIn, csvOut, csvIn;
  for (int r = 0; r < runs; ++r) {
    std::vector<std::string> notes;
    xdtsOut.push_back(
        Time([&] { return SaveXdtsFile(dir + "sheet.xdts", sheet, sequences, {}, notes).ok(); }));
    xdtsIn.push_back(Time([&] {
      Result<XdtsColumns> read = LoadXdtsFile(dir + "sheet.xdts", {});
      if (!read) return false;
      Result<ExchangeImport> built = BuildImportedSheet(read->columns, read->frameCount, options);
      return built && built->missing.empty() &&
             SaveSheetFile(dir + "back.dgr", built->sheet, built->sequences).ok();
    }));
    csvOut.push_back(Time([&] { return SaveSheetCsv(dir + "sheet.csv", sheet, sequences).ok(); }));
    csvIn.push_back(Time([&] {
      Result<CsvColumns> read = LoadSheetCsv(dir + "sheet.csv");
      if (!read) return false;
      Result<ExchangeImport> built =
          BuildImportedSheet(read->columns, read->frameCount, {{}, {dir}});
      return built && built->missing.empty() &&
             SaveSheetFile(dir + "back.dgr", built->sheet, built->sequences).ok();
    }));
  }
  std::printf("sheet of %d levels x %d frames, %d runs; XDTS file %ju bytes, CSV %ju bytes\n",
              sheet.levelCount, sheet.frameCount, runs,
              std::uintmax_t(std::filesystem::file_size(dir + "sheet.xdts")),
              std::uintmax_t(std::filesystem::file_size(dir + "sheet.csv")));
  Report("export XDTS", xdtsOut);
  Report("import XDTS (read, match, save)", xdtsIn);
  Report("export CSV", csvOut);
  Report("import CSV (read, match, save)", csvIn);
  std::filesystem::remove_all(dir);
  return 0;
}

}  // namespace
}  // namespace quenda

int main(int argc, char** argv) {
  int runs = 5;
  for (int i = 1; i + 1 < argc; ++i)
    if (std::strcmp(argv[i], "--runs") == 0) runs = std::max(1, std::atoi(argv[i + 1]));
  return quenda::Run(runs);
}
