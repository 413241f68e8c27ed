#pragma once
// Whether an occurrence begins and ends on word boundaries: where a letter,
// digit, mark or "_" meets anything else, and between two of them where
// ICU's word rules put a boundary, its dictionaries finding the words of
// Japanese, Chinese, Thai and other text written without spaces. ICU's own
// rules also join words across one ".", ":" or "'" ("s.length", "can't"),
// which would hide a field of source code: those stay boundaries here, as
// they are for grep -w. Line breaks always bound words, so a text searched a
// run of whole lines at a time gives the answers the whole text would. One
// thread at a time.
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
  // Whether `at` bounds a word: from its neighbours alone when one is not a
  // word character, else by ICU.
  bool IsBoundary(size_t at);
  // The code points before and at `at`; U_SENTINEL beyond the text.
  int CodePointBefore(size_t at) const;
  int CodePointAt(size_t at) const;

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
