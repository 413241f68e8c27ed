#include "platform/desktop/ProcessLocale.h"

#include <clocale>
#include <locale>
#include <stdexcept>

namespace trawlscope {

void SetProcessLocale() {
  for (const char* name : {"ja_JP.UTF-8", "ja_JP.utf8", "C.UTF-8"}) {
    if (std::setlocale(LC_ALL, name) == nullptr) continue;
    try {
      std::locale::global(std::locale(name));
    } catch (const std::runtime_error&) {
      // The C library knows the locale but the C++ library does not: keep the C one.
    }
    return;
  }
}

}  // namespace trawlscope
