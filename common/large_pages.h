#pragma once
// Picture-sized buffers are filled whole right after they are made. On a kernel that backs
// memory with 2 MB pages only when asked (and under a hypervisor, where each page fault is
// dear), one fault per 4 KB page of a fresh buffer costs more than the work that fills it.
// Asking for large pages before the first touch takes one fault per 2 MB instead.

#include <cstddef>
#include <vector>

namespace quenda {

// Asks for large pages over the whole pages inside [data, data + bytes) when the range is
// large enough to hold one; a hint only, ignored where the kernel does not give them.
void AdviseLargePages(void* data, std::size_t bytes);

// reserve(count), then the advice over the capacity, so what fills the vector next touches
// the memory first.
template <class T>
void ReserveLarge(std::vector<T>& values, std::size_t count) {
  values.reserve(count);
  AdviseLargePages(values.data(), values.capacity() * sizeof(T));
}

// Hands the whole pages inside [data, data + bytes) back to the system, keeping the range
// mapped: the next touch gets a fresh zeroed page.
void ReturnPages(void* data, std::size_t bytes);

// Frees the vector's memory and returns its pages to the system at once. Freed blocks otherwise
// stay resident in the heap (KeepFreedBuffersForReuse), so a buffer dropped half way through a
// frame's work would still count towards the frame's peak.
template <class T>
void ReleaseLarge(std::vector<T>& values) {
  ReturnPages(values.data(), values.capacity() * sizeof(T));
  std::vector<T>().swap(values);
}

}  // namespace quenda
