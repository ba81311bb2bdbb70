#include "common/large_pages.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>

namespace quenda {

void AdviseLargePages(void* data, std::size_t bytes) {
  constexpr std::uintptr_t kPage = 4096;
  constexpr std::size_t kLargePage = std::size_t(2) << 20;
  if (data == nullptr || bytes < 2 * kLargePage) return;
  const std::uintptr_t begin = (reinterpret_cast<std::uintptr_t>(data) + kPage - 1) & ~(kPage - 1);
  const std::uintptr_t end = (reinterpret_cast<std::uintptr_t>(data) + bytes) & ~(kPage - 1);
  // Refused advice changes nothing: the buffer simply gets small pages.
  (void)madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
}

void ReturnPages(void* data, std::size_t bytes) {
  const std::uintptr_t page = std::uintptr_t(sysconf(_SC_PAGESIZE));
  if (data == nullptr || bytes < 2 * page) return;
  const std::uintptr_t begin = (reinterpret_cast<std::uintptr_t>(data) + page - 1) & ~(page - 1);
  const std::uintptr_t end = (reinterpret_cast<std::uintptr_t>(data) + bytes) & ~(page - 1);
  // Private anonymous pages read as zeros afterwards, which the freed block may well hold.
  (void)madvise(reinterpret_cast<void*>(begin), end - begin, MADV_DONTNEED);
}

}  // namespace quenda
