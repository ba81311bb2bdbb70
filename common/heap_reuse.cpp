#include "common/heap_reuse.h"

#include <malloc.h>

namespace quenda {

void KeepFreedBuffersForReuse() {
  // The largest threshold the allocator accepts; larger blocks still get their own mappings.
  constexpr int kLargestHeapBlock = 32 << 20;
  (void)mallopt(M_MMAP_THRESHOLD, kLargestHeapBlock);
  (void)mallopt(M_TRIM_THRESHOLD, 1 << 30);
  (void)mallopt(M_ARENA_MAX, 1);
}

}  // namespace quenda
