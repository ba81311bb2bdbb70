// Sample drawings at A4 300 dpi: how long one takes to make, to write and to read back.
// Figures are per drawing; bytes per second count the drawing's 8.7 MB of pixels.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "common/drawing_scan.h"
#include "samples/sample_drawing.h"

namespace {

using quenda::DrawingScan;

quenda::samples::SampleOptions A4At300Dpi() {
  quenda::samples::SampleOptions options;
  options.width = 2480;
  options.height = 3508;
  options.dpi = 300;
  return options;
}

std::string ScratchPath() {
  return (std::filesystem::temp_directory_path() /
          ("quenda-bench-" + std::to_string(getpid()) + ".qds"))
      .string();
}

void Generate(benchmark::State& state) {
  const auto options = A4At300Dpi();
  int frame = 0;
  for (auto _ : state) {
    DrawingScan scan = quenda::samples::MakeSampleDrawing(options, frame++ % 12, 12);
    benchmark::DoNotOptimize(scan.picture.bytes().data());
  }
  state.SetBytesProcessed(state.iterations() * int64_t(options.width) * options.height);
}

void Write(benchmark::State& state) {
  const DrawingScan scan = quenda::samples::MakeSampleDrawing(A4At300Dpi(), 0, 1);
  const std::string path = ScratchPath();
  for (auto _ : state) {
    quenda::Status status = quenda::WriteDrawingScan(path, scan, quenda::ScanWriter::Scanner);
    if (!status) state.SkipWithError(status.message().c_str());
  }
  std::remove(path.c_str());
  state.SetBytesProcessed(state.iterations() * int64_t(scan.picture.bytes().size()));
}

void Read(benchmark::State& state) {
  const DrawingScan scan = quenda::samples::MakeSampleDrawing(A4At300Dpi(), 0, 1);
  const std::string path = ScratchPath();
  if (!quenda::WriteDrawingScan(path, scan, quenda::ScanWriter::Scanner)) {
    state.SkipWithError("could not write the drawing to read");
    return;
  }
  for (auto _ : state) {
    auto loaded = quenda::ReadDrawingScan(path, quenda::ScanReader::Analyzer);
    if (!loaded) state.SkipWithError(loaded.message().c_str());
    benchmark::DoNotOptimize(loaded);
  }
  std::remove(path.c_str());
  state.SetBytesProcessed(state.iterations() * int64_t(scan.picture.bytes().size()));
}

BENCHMARK(Generate)->Name("sample/generate_a4_300dpi")->Unit(benchmark::kMillisecond);
BENCHMARK(Write)->Name("sample/write_a4_300dpi")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(Read)->Name("sample/read_a4_300dpi")->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
