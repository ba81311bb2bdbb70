#include "common/frame_runner.h"

#include <cstdlib>

namespace quenda {

int DefaultJobCount() {
  // A farm task may run on a share of a larger machine: its own count is the one to use.
  if (const char* farm = std::getenv("SLURM_CPUS_PER_TASK")) {
    char* end = nullptr;
    long cpus = std::strtol(farm, &end, 10);
    if (end != farm && *end == '\0' && cpus > 0) return int(std::min(cpus, 1024L));
  }
  return std::max(int(std::thread::hardware_concurrency()), 1);
}

}  // namespace quenda
