#include "common/version.h"

namespace quenda {

// QUENDA_VERSION is defined for this file alone, so a new version rebuilds nothing else.
std::string_view QuendaVersion() {
  return QUENDA_VERSION;
}

}  // namespace quenda
