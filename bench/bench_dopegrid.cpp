// How long the exposure sheet takes to render one painted frame of three levels of A4 300 dpi
// drawings, at full and half size, against the time it takes only to read that frame's files
// (drawing scans, region files, paint files and colour sets). The reading is also timed against
// a replay of the earlier reading path, whose fresh buffers took a page fault every 4 KB, and
// read again as the tool reads, keeping freed buffers for the next frame; the composites and
// renders are timed that way too. Where a full-size render's time goes: the levels read one
// after another and at once, the picture made (read and laid, nothing saved), the Targa saved,
// and the whole render on one thread against every core, with the processor time each takes.
//
//   bench_dopegrid [--runs N]

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "common/byte_order.h"
#include "common/color_set.h"
#include "common/heap_reuse.h"
#include "common/paint_file.h"
#include "common/region_file.h"
#include "common/scripted_prompt.h"
#include "common/targa.h"
#include "common/thread_pool.h"
#include "dopegrid/core/flipbook.h"
#include "dopegrid/core/level_reading.h"
#include "dopegrid/core/render.h"
#include "samples/sample_drawing.h"

namespace quenda {
namespace {

using Clock = std::chrono::steady_clock;
constexpr int kTile = 48;  // regions are tiles of the page, their borders region lines

double Seconds(Clock::time_point since) {
  return std::chrono::duration<double>(Clock::now() - since).count();
}

// Processor time of the whole process, every thread's, so far.
double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  auto seconds = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) * 1e-6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

double Best(int runs, const std::function<void()>& work) {
  double best = 1e30;
  for (int i = 0; i < runs; ++i) {
    Clock::time_point start = Clock::now();
    work();
    best = std::min(best, Seconds(start));
  }
  return best;
}

// A painted drawing as the painter leaves it: pencil lines as animator lines, tile borders as
// region lines, every tile a region with a colour.
void WritePaintedSample(const std::string& directory, const std::string& name, uint32_t seed) {
  samples::SampleOptions options;
  options.width = 2480;
  options.height = 3508;
  options.dpi = 300;
  options.seed = seed;
  ScriptedPrompt prompt;
  if (!samples::WriteSampleSequence(directory, name, 1, options, prompt).ok()) std::exit(1);
  DrawingScan scan = samples::MakeSampleDrawing(options, 0, 1);
  RegionData regions = MakeBlankRegionData(scan.picture.width(), scan.picture.height());
  int columns = (scan.picture.width() + kTile - 1) / kTile;
  int rows = (scan.picture.height() + kTile - 1) / kTile;
  regions.regionCount = columns * rows - 1;
  regions.regionBounds.assign(std::size_t(columns * rows + 1), RegionBox{});
  for (int y = 0; y < scan.picture.height(); ++y) {
    for (int x = 0; x < scan.picture.width(); ++x) {
      std::size_t i = std::size_t(y) * std::size_t(scan.picture.width()) + std::size_t(x);
      regions.regionMap[i] = uint16_t(1 + (y / kTile) * columns + x / kTile);
      if (x % kTile == 0 || y % kTile == 0) regions.flags[i] |= kFlagRegionLine;
      if (scan.picture.bytes()[i] < 128) regions.flags[i] |= kFlagAnimatorLine;
    }
  }
  ComputeRegionBounds(regions);
  std::string stem = directory + name + "1";
  if (!WriteRegionFile(stem + ".rgn", regions, RegionWriter::Painter).ok()) std::exit(1);
  std::vector<int32_t> paints(std::size_t(regions.regionCount) + 2);
  for (std::size_t r = 1; r < paints.size(); ++r) paints[r] = int32_t(3 + r % 5);
  if (!WritePaintFile(stem + ".pnt", paints).ok()) std::exit(1);
}

// The earlier reading path: each file read whole into a plain vector, the maps grown run by
// run in plain vectors, the grey normalised in a second pass. Valid files only: it replays the
// work, not the messages.
std::vector<uint8_t> ReplayReadBytes(const std::string& path, std::size_t offset,
                                     std::size_t limit) {
  std::vector<uint8_t> bytes;
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) std::exit(1);
  std::fseek(file, 0, SEEK_END);
  std::size_t size = std::size_t(std::ftell(file));
  std::fseek(file, long(offset), SEEK_SET);
  bytes.resize(std::min(size - offset, limit));
  bytes.resize(std::fread(bytes.data(), 1, bytes.size(), file));
  std::fclose(file);
  return bytes;
}

template <class T>
std::size_t ReplayStream(const std::vector<uint8_t>& bytes, std::size_t at, std::size_t unit,
                         std::size_t pixels, std::vector<T>& out) {
  out.reserve(pixels);
  while (out.size() < pixels) {
    const uint8_t* p = bytes.data() + at;
    unsigned value = unit == 2 ? p[0] : GetU16LE(p);
    out.insert(out.end(), std::min<std::size_t>(p[unit - 1], pixels - out.size()), T(value));
    at += unit;
  }
  return at;
}

PaintedDrawing ReplayOldRead(const DrawingSequence& s, const ColorSet& colors, Prompt& prompt) {
  PaintedDrawing painted;
  const std::string path = FramePath(s, 0, prompt);
  std::vector<uint8_t> head = ReplayReadBytes(path, 0, kDrawingScanHeaderSize);
  DrawingScanHeader h = *ParseSheetDrawingHeader(head);
  std::vector<uint8_t> pixels =
      ReplayReadBytes(path, kDrawingScanHeaderSize, std::size_t(h.width) * h.height);
  painted.drawing = {h.dpi, h.pegPosition, h.xPosition, h.yPosition,
                     Raster(h.width, h.height, 1, std::move(pixels))};
  painted.colors = colors;
  std::vector<uint8_t> file = ReplayReadBytes(RegionPath(s, 0, prompt), 0, SIZE_MAX);
  RegionData& r = painted.regions;
  r.width = GetU16LE(&file[1]), r.height = GetU16LE(&file[3]);
  r.settings = {file[5], file[6], file[7], file[8]};
  r.regionCount = GetU16LE(&file[9]);
  r.regionBounds.assign(std::size_t(r.regionCount) + 2, EmptyRegionBox(r.width, r.height));
  for (int b = 1; b <= r.regionCount + 1; ++b) {
    const uint8_t* p = &file[kRegionFileHeaderSize + kRegionBoxRecordSize * std::size_t(b - 1)];
    r.regionBounds[std::size_t(b)] = {GetU16LE(p + 4), GetU16LE(p), GetU16LE(p + 6),
                                      GetU16LE(p + 2)};
  }
  std::size_t at = kRegionFileHeaderSize + kRegionBoxRecordSize * (std::size_t(r.regionCount) + 1);
  at = ReplayStream(file, at, 2, r.PixelCount(), r.flags);
  at = ReplayStream(file, at, 3, r.PixelCount(), r.regionMap);
  ReplayStream(file, at, 3, r.PixelCount(), r.animColor);
  std::array<uint8_t, 256> table{};
  for (int g = 0; g < 256; ++g)
    table[std::size_t(g)] = NormaliseGrey(uint8_t(g), r.settings.whiteClamp, r.settings.blackClamp);
  for (uint8_t& p : painted.drawing.picture.bytes()) p = table[p];
  Result<PaintFile> paints = ReadPaintFile(PaintPath(s, 0, prompt), r.regionCount, colors.count);
  if (!paints) std::exit(1);
  painted.regionColor = std::move(paints->regionColor);
  painted.regionColor[0] = kTransparentColor;
  return painted;
}

int Run(int runs) {
  std::string root = (std::filesystem::temp_directory_path() / "quenda-bench-dopegrid/").string();
  std::filesystem::remove_all(root);
  std::filesystem::create_directories(root + "out");
  std::printf("making three painted A4 300 dpi drawings...\n");
  const char* names[] = {"front", "middle", "back"};
  std::vector<DrawingSequence> sequences;
  CSheetGrid sheet = MakeNewSheet();
  sheet.AddLevel("middle");
  sheet.AddLevel("back");
  for (int l = 0; l < 3; ++l) {
    WritePaintedSample(root, names[l], uint32_t(l + 1));
    sequences.push_back(OpenSequence(root + names[l] + "1.qds", std::string(names[l]) + "1.qds"));
    sheet.Cell(l, 0) = {CellKind::Key, l, 0};
  }
  SheetSource source{sheet, sequences};
  ScriptedPrompt prompt;
  NullProgress progress;

  auto readNow = [&] {
    for (const DrawingSequence& s : sequences) {
      std::optional<ColorSet> colors = CheckSheetColorSet(s, prompt);
      if (!colors || !LoadPaintedDrawing(s, 0, *colors, prompt, progress)) std::exit(1);
    }
  };
  double read = Best(runs, readNow);
  double oldRead = Best(runs, [&] {
    for (const DrawingSequence& s : sequences) {
      std::optional<ColorSet> colors = CheckSheetColorSet(s, prompt);
      if (!colors) std::exit(1);
      ReplayOldRead(s, *colors, prompt);
    }
  });
  // The replay must read what the readers read, or the comparison means nothing.
  for (const DrawingSequence& s : sequences) {
    ColorSet colors = *CheckSheetColorSet(s, prompt);
    PaintedDrawing now = *LoadPaintedDrawing(s, 0, colors, prompt, progress);
    PaintedDrawing then = ReplayOldRead(s, colors, prompt);
    if (now.regions != then.regions ||
        now.drawing.picture.bytes() != then.drawing.picture.bytes() ||
        now.regionColor != then.regionColor) {
      std::printf("the replay of the earlier reading path reads different data\n");
      return 1;
    }
  }
  // From here on as `quenda render` runs: freed buffers are kept for the next frame.
  KeepFreedBuffersForReuse();
  double toolRead = Best(runs, readNow);
  auto render = [&](RenderSize size) {
    RenderSettings settings;
    settings.directory = root + "out/";
    settings.name = "frame";
    settings.levels = {0, 1, 2};
    settings.size = size;
    return Best(runs, [&] {
      if (!RunRender(settings, source, prompt, progress)) std::exit(1);
    });
  };
  // On a machine shared with other work the threads may not get a core each; the processor
  // time a render takes tells its work apart from its waiting.
  double fullCpu = CpuSeconds();
  double full = render(RenderSize::Full);
  fullCpu = (CpuSeconds() - fullCpu) / runs;
  double half = render(RenderSize::Half);
  double fullOneThread = 0, fullOneThreadCpu = 0;
  {
    const int threads = InnerThreads();
    SetInnerThreads(1);
    fullOneThreadCpu = CpuSeconds();
    fullOneThread = render(RenderSize::Full);
    fullOneThreadCpu = (CpuSeconds() - fullOneThreadCpu) / runs;
    SetInnerThreads(threads);
  }
  // The parts of a full-size render: reading the levels, the picture made, the Targa saved.
  std::vector<const SheetCell*> cells;
  for (int l = 2; l >= 0; --l) cells.push_back(&sheet.Cell(l, 0));
  auto readLevels = [&](int threads) {
    return Best(runs, [&] {
      auto none = [](std::size_t, PaintedDrawing&) {};
      if (!ReadLevelsInTurn(source, cells, prompt, progress, none, threads)) std::exit(1);
    });
  };
  double inTurn = readLevels(1);
  double atOnce = readLevels(InnerThreads());
  Raster made;
  RenderSettings makeOnly;
  makeOnly.levels = {0, 1, 2};
  double makePicture = Best(runs, [&] {
    RenderedFrameTaker keep{[&](int, const Raster& picture, double, Progress&) {
                              made = picture;
                              return true;
                            },
                            [](int) { return std::string(); }};
    if (!RenderFramesTo(makeOnly, source, prompt, progress, keep)) std::exit(1);
  });
  double save = Best(runs, [&] {
    if (!WriteTarga(root + "out/saved.tga", made, WriteMessages("cannot save"))) std::exit(1);
  });
  // Compositing alone: the drawings already read, layers built and laid into the picture.
  std::vector<PaintedDrawing> loaded;
  for (const DrawingSequence& s : sequences)
    loaded.push_back(*LoadPaintedDrawing(s, 0, *CheckSheetColorSet(s, prompt), prompt, progress));
  CompositeJob range;
  range.levels = {0, 1, 2};
  if (!ScanRange(range, source, RangeUser::Render, prompt)) return 1;
  auto composite = [&](RenderSize size) {
    RenderGeometry g = RenderGeometryFor(range.frame, size);
    Raster picture(g.width, g.height, 4);
    RenderQuality quality = size == RenderSize::Full ? RenderQuality::Fast : RenderQuality::Best;
    return Best(runs, [&] {
      std::fill(picture.bytes().begin(), picture.bytes().end(), uint8_t(0));
      for (int l = 2; l >= 0; --l)
        LayDrawing(loaded[std::size_t(l)], range.frame, g.scale, quality, picture);
    });
  };
  double compositeFull = composite(RenderSize::Full);
  double compositeHalf = composite(RenderSize::Half);

  CompositeJob job;
  job.levels = {0, 1, 2};
  job.mode = CompositeMode::Painted;
  if (!ScanRange(job, source, RangeUser::Flipbook, prompt)) return 1;
  FlipbookGeometry g = FlipbookGeometryFor(job.frame, kMaxFlipbookSize);
  job.width = g.width, job.height = g.height, job.scale = g.scale;
  job.picture = Raster(job.width, job.height, 3);
  double flip = Best(runs, [&] {
    if (!CompositePainted(job, source, 0, prompt, progress)) std::exit(1);
  });

  std::printf("best of %d runs, one frame of 3 levels, 2480 x 3508 each\n", runs);
  std::printf("  read the frame's files only     %7.3f s\n", read);
  std::printf("  the earlier reading path        %7.3f s  now %.2f x of it\n", oldRead,
              read / oldRead);
  std::printf(
      "  read as the tool reads          %7.3f s  %.2f x of the earlier path (freed buffers "
      "kept)\n",
      toolRead, toolRead / oldRead);
  std::printf("  composite full size             %7.3f s  adds %5.1f %% to reading\n",
              compositeFull, 100 * compositeFull / toolRead);
  std::printf("  composite half size (bilinear)  %7.3f s  adds %5.1f %% to reading\n",
              compositeHalf, 100 * compositeHalf / toolRead);
  std::printf("  whole render, full size         %7.3f s  (read, composite, save the Targa)\n",
              full);
  std::printf("  whole render, half size         %7.3f s\n", half);
  std::printf("  levels read one after another   %7.3f s\n", inTurn);
  std::printf("  levels read at once             %7.3f s  %.2f x of one after another\n", atOnce,
              atOnce / inTurn);
  std::printf("  make the picture, full size     %7.3f s  (read and laid, not saved)\n",
              makePicture);
  std::printf("  save a Targa, full size         %7.3f s\n", save);
  std::printf("  whole render, full, one thread  %7.3f s  (%.3f s of processor time a run)\n",
              fullOneThread, fullOneThreadCpu);
  std::printf("  whole render, full, %d threads   %7.3f s  %.2f x of one thread\n", InnerThreads(),
              full, full / fullOneThread);
  std::printf("  processor time a run, %d threads %7.3f s  %.2f x of one thread's\n",
              InnerThreads(), fullCpu, fullCpu / fullOneThreadCpu);
  std::printf("  flipbook frame %d x %d          %7.3f s  (read and composite)\n", job.width,
              job.height, flip);
  std::filesystem::remove_all(root);
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
