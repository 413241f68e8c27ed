#pragma once
// Whether an occurrence begins and ends on word boundaries, by ICU's word
// rules: Unicode's word boundaries, with ICU's dictionaries finding the words
// of Japanese, Chinese, Thai and other text written without spaces. Line
// breaks always bound words, so a text searched a run of whole lines at a
// time gives the answers the whole text would. One thread at a time.
#include <cstddef>
#include <memory>
#include <string_view>

namespace trawlscope {

class WordBoundaries {
 public:
  WordBoundaries();
  ~WordBoundaries();
  WordBoundaries(const WordBoundaries&) = delete;
  WordBoundaries& operator=(const WordBoundaries&) = delete;

  // The text the next questions are about, unchanged while they are asked;
  // it is handed to ICU only when the first question comes. ASCII bytes
  // count as the UTF-16 units they widen to.
  void SetText(std::u16string_view text);
  void SetAsciiText(std::string_view bytes);

  bool IsWholeWord(size_t position, size_t length);

 private:
  // ICU counts in 32 bits: a longer text is asked about in a window around the occurrence.
  bool Prepare(size_t position, size_t length);

  // ICU's iterator and the text handed to it, kept out of this header.
  struct Iterator;
  std::unique_ptr<Iterator> words_;
  std::u16string_view wide_;
  std::string_view narrow_;
  bool isNarrow_ = false;
  bool textHanded_ = false;
  size_t windowStart_ = 0;
  size_t windowEnd_ = 0;
};

}  // namespace trawlscope
