#include "search/hits/Hit.h"

namespace trawlscope {

std::u16string TextView::ToString() const {
  if (!file_->isNarrow) return file_->wide.substr(start_, length_);
  const std::string_view bytes = std::string_view(file_->narrow).substr(start_, length_);
  return std::u16string(bytes.begin(), bytes.end());
}

bool operator<(const TextView& a, const TextView& b) {
  const size_t common = a.length_ < b.length_ ? a.length_ : b.length_;
  for (size_t i = 0; i < common; ++i) {
    const char16_t x = a[i], y = b[i];
    if (x != y) return x < y;
  }
  return a.length_ < b.length_;
}

}  // namespace trawlscope
