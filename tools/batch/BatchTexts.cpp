#include "BatchTexts.h"

#include <cstdio>

namespace trawlscope::batch {

void Say(const CatalogueText& text, std::initializer_list<std::string_view> arguments) {
  const std::string line = FillIn(WordsUtf8(text), arguments) + "\n";
  std::fwrite(line.data(), 1, line.size(), stderr);
}

}  // namespace trawlscope::batch
