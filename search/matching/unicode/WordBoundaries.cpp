#include "search/matching/unicode/WordBoundaries.h"

#include <unicode/brkiter.h>
#include <unicode/uchar.h>
#include <unicode/utext.h>
#include <unicode/utf16.h>

#include <algorithm>
#include <climits>

namespace trawlscope {
namespace {

// Around an occurrence in a text too long for ICU's offsets: far more than
// any word, or any run of dictionary text, is long.
constexpr size_t kWindowUnits = 1u << 20;

bool IsWordCharacter(UChar32 c) {
  if (c < 0x80) return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
  if (u_isalnum(c)) return true;
  switch (u_charType(c)) {
    case U_NON_SPACING_MARK:
    case U_ENCLOSING_MARK:
    case U_COMBINING_SPACING_MARK:
    case U_CONNECTOR_PUNCTUATION:
    case U_LETTER_NUMBER:
    case U_OTHER_NUMBER: return true;
    default: return false;
  }
}

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

int WordBoundaries::CodePointBefore(size_t at) const {
  if (at == 0) return U_SENTINEL;
  if (isNarrow_) return static_cast<unsigned char>(narrow_[at - 1]);
  UChar32 c;
  size_t i = at;
  U16_PREV(wide_.data(), 0, i, c);
  return c;
}

int WordBoundaries::CodePointAt(size_t at) const {
  const size_t size = isNarrow_ ? narrow_.size() : wide_.size();
  if (at >= size) return U_SENTINEL;
  if (isNarrow_) return static_cast<unsigned char>(narrow_[at]);
  UChar32 c;
  U16_NEXT(wide_.data(), at, wide_.size(), c);
  return c;
}

bool WordBoundaries::IsBoundary(size_t at) {
  const UChar32 before = CodePointBefore(at);
  const UChar32 after = CodePointAt(at);
  if (before == U_SENTINEL || after == U_SENTINEL || !IsWordCharacter(before) || !IsWordCharacter(after))
    return true;
  // Unicode's rules never part two ASCII letters, digits or "_": source code needs no ICU.
  if (before < 0x80 && after < 0x80) return false;
  // Without ICU's rules two word characters are one word.
  if (!words_ || !Prepare(at, 0)) return false;
  return words_->words->isBoundary(static_cast<int32_t>(at - windowStart_));
}

bool WordBoundaries::IsWholeWord(size_t position, size_t length) {
  return IsBoundary(position) && (length == 0 || IsBoundary(position + length));
}

}  // namespace trawlscope
