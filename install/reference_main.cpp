// quenda-reference DIR: writes DIR/quenda.1 (the manual page) and DIR/quenda (its bash
// completion) from the tool's own help texts. The build runs it; it is not installed.

#include <iostream>
#include <string>

#include "common/atomic_file.h"
#include "install/completion_script.h"
#include "install/help_texts.h"
#include "install/manual_page.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: quenda-reference DIR\n";
    return 2;
  }
  const std::string dir = argv[1];
  const quenda::install::HelpTexts texts = quenda::install::CollectHelpTexts();
  for (const auto& [name, text] :
       {std::pair{dir + "/quenda.1", quenda::install::ManualPage(texts)},
        std::pair{dir + "/quenda", quenda::install::CompletionScript(texts)}}) {
    const quenda::Status written =
        quenda::WriteFileAtomically(name, text, quenda::WriteMessages("Could not write " + name));
    if (!written) {
      std::cerr << "quenda-reference: " << written.message() << "\n";
      return 1;
    }
  }
  return 0;
}
