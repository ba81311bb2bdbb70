#include <unistd.h>

#include <iostream>
#include <string>
#include <vector>

#include "cli/command.h"
#include "common/heap_reuse.h"

int main(int argc, char** argv) {
  quenda::KeepFreedBuffersForReuse();
  std::vector<std::string> args(argv + 1, argv + argc);
  quenda::cli::CommandIo io{std::cout, std::cerr, &std::cin, isatty(STDIN_FILENO) == 1,
                            isatty(STDERR_FILENO) == 1 ? quenda::cli::ProgressForm::Bar
                                                       : quenda::cli::ProgressForm::Lines};
  return quenda::cli::RunQuenda(args, io);
}
