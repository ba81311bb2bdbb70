// What one small file costs each reader the fuzz targets drive, to tell a reader that is slow
// on its input from one whose fixed set-up dominates: the exposure sheet's cell grid is built
// at its full capacity for every file, and a movie is opened through FFmpeg's probing.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <vector>

#include "common/archive.h"
#include "common/file_io.h"
#include "common/scripted_prompt.h"
#include "dopegrid/core/sheet_file.h"
#include "media/avi_writer.h"
#include "media/movie_reader.h"

namespace quenda {
namespace {

std::vector<uint8_t> SmallSheet() {
  ArchiveWriter out;
  WriteSheetFile(out, MakeNewSheet(), {});
  return out.bytes();
}

std::vector<uint8_t> SmallMovie() {
  std::string path = (std::filesystem::temp_directory_path() / "bench_readers.avi").string();
  ScriptedPrompt prompt;
  AviWriter writer(prompt);
  std::vector<uint8_t> picture(16 * 16 * 3, 128);
  if (!writer.Open(path, 5000, 25, 16, 16) || !writer.WriteFrame(0, picture.data()) ||
      !writer.WriteFrame(1, picture.data()))
    std::abort();
  writer.Close();
  std::optional<std::vector<uint8_t>> bytes = ReadFileBytes(path);
  std::filesystem::remove(path);
  if (!bytes) std::abort();
  return *bytes;
}

void BM_EmptySheetGrid(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(CSheetGrid());
}
BENCHMARK(BM_EmptySheetGrid);

void BM_ParseSmallSheet(benchmark::State& state) {
  std::vector<uint8_t> bytes = SmallSheet();
  state.SetLabel(std::to_string(bytes.size()) + " bytes");
  for (auto _ : state) benchmark::DoNotOptimize(ParseSheetFile(bytes, "s.dgr"));
}
BENCHMARK(BM_ParseSmallSheet);

void BM_OpenSmallMovie(benchmark::State& state) {
  std::vector<uint8_t> bytes = SmallMovie();
  state.SetLabel(std::to_string(bytes.size()) + " bytes");
  for (auto _ : state) benchmark::DoNotOptimize(MovieReader::OpenBytes(bytes));
}
BENCHMARK(BM_OpenSmallMovie);

void BM_OpenAndDecodeSmallMovie(benchmark::State& state) {
  std::vector<uint8_t> bytes = SmallMovie();
  std::vector<uint8_t> frame(16 * 16 * 3);
  for (auto _ : state) {
    auto movie = MovieReader::OpenBytes(bytes);
    if (!movie || !(*movie)->OpenDecoder().ok() || !(*movie)->ReadFrame(0, frame.data()).ok())
      std::abort();
  }
}
BENCHMARK(BM_OpenAndDecodeSmallMovie);

}  // namespace
}  // namespace quenda

BENCHMARK_MAIN();
