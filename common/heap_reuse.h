#pragma once
// Batch commands make one frame after another, each with buffers of tens of megabytes. Left to
// itself the allocator hands each freed buffer back to the kernel, and the next frame gets it
// again one zeroed page fault at a time; with every core making frames, the cores then spend
// much of their time in the kernel, queued on the same process's page tables.

namespace quenda {

// Keeps freed buffers in the process for the next frame: large blocks come from the heap
// rather than from their own mappings, the heap is not trimmed, and all threads share one
// arena so that a buffer freed by one worker serves the next. Call once, before any thread.
void KeepFreedBuffersForReuse();

}  // namespace quenda
