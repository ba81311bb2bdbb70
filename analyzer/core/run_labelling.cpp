#include "analyzer/core/run_labelling.h"

#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quenda {
namespace {

constexpr uint64_t kBit0 = 0x0101010101010101ull;

// First x >= from (below width) whose pixel has bit 0 equal to `line`, or width. Line pixels
// are sparse, so the search for the next one looks at sixteen bytes at a time.
int NextLine(const uint8_t* row, int from, int width) {
  int x = from;
#if defined(__SSE2__)
  for (; x + 16 <= width; x += 16) {
    // Bit 0 of every byte moves to its bit 7, which movemask collects.
    __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + x));
    unsigned mask = unsigned(_mm_movemask_epi8(_mm_slli_epi16(bytes, 7)));
    if (mask != 0) return x + std::countr_zero(mask);
  }
#endif
  for (; x + 8 <= width; x += 8) {
    uint64_t word;
    std::memcpy(&word, row + x, 8);
    if (uint64_t bits = word & kBit0; bits != 0) return x + std::countr_zero(bits) / 8;
  }
  while (x < width && !(row[x] & 1)) ++x;
  return x;
}

int NextNonLine(const uint8_t* row, int from, int width) {
  int x = from;
  for (; x + 8 <= width; x += 8) {
    uint64_t word;
    std::memcpy(&word, row + x, 8);
    if (uint64_t bits = ~word & kBit0; bits != 0) return x + std::countr_zero(bits) / 8;
  }
  while (x < width && (row[x] & 1)) ++x;
  return x;
}

// Merges the runs of two neighbouring rows, runs[i0, i1) below and runs[i1, i2) above, that
// share a column (4-connectivity), keeping the smaller root.
void MergeRows(const std::vector<LabelRun>& runs, std::size_t i0, std::size_t i1, std::size_t i2,
               std::vector<uint32_t>& root) {
  auto find = [&root](uint32_t a) {
    while (root[a] != a) a = root[a] = root[root[a]];
    return a;
  };
  std::size_t i = i0, j = i1;
  while (i < i1 && j < i2) {
    const LabelRun& a = runs[i];
    const LabelRun& b = runs[j];
    if (a.start < b.end && b.start < a.end) {
      uint32_t ra = find(a.label), rb = find(b.label);
      if (ra < rb)
        root[rb] = ra;
      else if (rb < ra)
        root[ra] = rb;
    }
    if (a.end <= b.end)
      ++i;
    else
      ++j;
  }
}

// One band's runs, labels and roots before they take their place in the whole picture's.
struct LabelledBand {
  std::vector<LabelRun> runs;
  std::vector<std::size_t> rowBegin;  // rows + 1 offsets into runs
  std::vector<uint32_t> rowStart;
  std::vector<uint32_t> root;
};

// Labels and merges the runs of rows y0 <= y < y1 as if the counter started at 0 before row
// y0: labels 1 .. root.size() - 1, root[0] unused.
void LabelBand(const uint8_t* flags, int width, int y0, int y1, LabelledBand& band) {
  band.root.push_back(0);
  band.rowBegin.reserve(std::size_t(y1 - y0) + 1);
  band.rowStart.reserve(std::size_t(y1 - y0));
  band.runs.reserve(std::size_t(y1 - y0) * 8);
  std::vector<uint32_t>& root = band.root;
  std::vector<LabelRun>& runs = band.runs;
  uint32_t counter = 0;
  std::size_t previous = 0;
  for (int y = y0; y < y1; ++y) {
    const uint8_t* row = flags + std::size_t(y) * width;
    const std::size_t begin = runs.size();
    band.rowBegin.push_back(begin);
    band.rowStart.push_back(++counter);
    root.push_back(counter);
    int x = 0;
    bool freshLabel = false;
    if (row[0] & 1) {
      x = NextNonLine(row, 0, width);
      // The row's first pixel does not count as a line before the next one.
      freshLabel = x >= 2;
    }
    while (x < width) {
      if (freshLabel) root.push_back(++counter);
      int end = NextLine(row, x, width);
      runs.push_back({x, end, counter});
      x = NextNonLine(row, end, width);
      freshLabel = true;
    }
    if (y > y0) MergeRows(runs, previous, begin, runs.size(), root);
    previous = begin;
  }
  band.rowBegin.push_back(runs.size());
}

}  // namespace

RunLabeller::RunLabeller(const uint8_t* flags, int width, int height, const Stripes& bands) {
  std::vector<LabelledBand> labelled(std::size_t(bands.count()));
  bands.Run([&](int k, int y0, int y1) { LabelBand(flags, width, y0, y1, labelled[k]); });
  if (labelled.size() == 1) {
    LabelledBand& band = labelled.front();
    runs_ = std::move(band.runs), rowBegin_ = std::move(band.rowBegin);
    rowStart_ = std::move(band.rowStart), root_ = std::move(band.root);
  } else {
    // Each band's labels follow the labels of the bands below, as the counter would have gone
    // on; then the bands are copied into place, each by the thread that made it.
    std::vector<uint32_t> labelBase(labelled.size() + 1, 0);
    std::vector<std::size_t> runBase(labelled.size() + 1, 0);
    for (std::size_t k = 0; k < labelled.size(); ++k) {
      labelBase[k + 1] = labelBase[k] + uint32_t(labelled[k].root.size() - 1);
      runBase[k + 1] = runBase[k] + labelled[k].runs.size();
    }
    runs_.resize(runBase.back());
    rowBegin_.resize(std::size_t(height) + 1);
    rowStart_.resize(std::size_t(height));
    root_.resize(std::size_t(labelBase.back()) + 1);
    root_[0] = 0;
    bands.Run([&](int k, int y0, int y1) {
      const LabelledBand& band = labelled[k];
      const uint32_t base = labelBase[k];
      for (std::size_t i = 0; i < band.runs.size(); ++i) {
        LabelRun run = band.runs[i];
        run.label += base;
        runs_[runBase[k] + i] = run;
      }
      for (int y = y0; y < y1; ++y) {
        rowBegin_[std::size_t(y)] = runBase[k] + band.rowBegin[std::size_t(y - y0)];
        rowStart_[std::size_t(y)] = band.rowStart[std::size_t(y - y0)] + base;
      }
      for (std::size_t label = 1; label < band.root.size(); ++label)
        root_[base + label] = band.root[label] + base;
    });
    rowBegin_[std::size_t(height)] = runs_.size();
    // The seams: each band's first row against the row below it.
    for (int k = 1; k < bands.count(); ++k) {
      const int y = bands.Start(k);
      MergeRows(runs_, rowBegin_[std::size_t(y - 1)], rowBegin_[std::size_t(y)],
                rowBegin_[std::size_t(y) + 1], root_);
    }
  }
  // Parents never exceed their children, so one ascending sweep resolves every root.
  for (std::size_t label = 1; label < root_.size(); ++label) root_[label] = root_[root_[label]];
}

}  // namespace quenda
