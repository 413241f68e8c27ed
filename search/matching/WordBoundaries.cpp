#include "search/matching/WordBoundaries.h"

#include <unicode/brkiter.h>
#include <unicode/utext.h>

#include <algorithm>
#include <climits>

namespace trawlscope {
namespace {

// Around an occurrence in a text too long for ICU's offsets: far more than
// any word, or any run of dictionary text, is long.
constexpr size_t kWindowUnits = 1u << 20;

}  // namespace

struct WordBoundaries::Iterator {
  std::unique_ptr<icu::BreakIterator> words;
  UText* text = nullptr;
  ~Iterator() {
    words.reset();  // it holds a clone of text
    if (text != nullptr) utext_close(text);
  }
};

WordBoundaries::WordBoundaries() {
  UErrorCode status = U_ZERO_ERROR;
  auto iterator = std::make_unique<Iterator>();
  iterator->words.reset(icu::BreakIterator::createWordInstance(icu::Locale::getRoot(), status));
  if (U_SUCCESS(status) && iterator->words) words_ = std::move(iterator);
}

WordBoundaries::~WordBoundaries() = default;

void WordBoundaries::SetText(std::u16string_view text) {
  wide_ = text;
  isNarrow_ = false;
  textHanded_ = false;
}

void WordBoundaries::SetAsciiText(std::string_view bytes) {
  narrow_ = bytes;
  isNarrow_ = true;
  textHanded_ = false;
}

bool WordBoundaries::Prepare(size_t position, size_t length) {
  const size_t size = isNarrow_ ? narrow_.size() : wide_.size();
  if (textHanded_ && (size <= INT32_MAX || (position >= windowStart_ && position + length <= windowEnd_)))
    return true;
  windowStart_ = 0;
  windowEnd_ = size;
  if (size > INT32_MAX) {
    windowStart_ = position - std::min(position, kWindowUnits);
    windowEnd_ = std::min(size, position + length + kWindowUnits);
  }
  UErrorCode status = U_ZERO_ERROR;
  const auto count = static_cast<int64_t>(windowEnd_ - windowStart_);
  // ASCII is UTF-8 whose byte offsets are the units' offsets.
  UText*& text = words_->text;
  text = isNarrow_ ? utext_openUTF8(text, narrow_.data() + windowStart_, count, &status)
                   : utext_openUChars(text, reinterpret_cast<const UChar*>(wide_.data() + windowStart_), count,
                                      &status);
  if (U_FAILURE(status)) return false;
  words_->words->setText(text, status);
  textHanded_ = U_SUCCESS(status);
  return textHanded_;
}

bool WordBoundaries::IsWholeWord(size_t position, size_t length) {
  // Without ICU's rules nothing can be told apart: every occurrence stands.
  if (!words_ || !Prepare(position, length)) return true;
  const auto start = static_cast<int32_t>(position - windowStart_);
  const auto end = static_cast<int32_t>(position + length - windowStart_);
  icu::BreakIterator& words = *words_->words;
  return words.isBoundary(start) && (end == start || words.isBoundary(end));
}

}  // namespace trawlscope
