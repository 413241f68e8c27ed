#include "search/text/ByteSplice.h"

#include <unicode/utf16.h>

#include "platform/codepage/conversion/ByteOffsets.h"
#include "platform/codepage/conversion/CodePageConverter.h"

namespace trawlscope {
namespace {

// Whether `position` falls between the halves of a surrogate pair. ICU's
// offsets catch that for the pages it reads, but UTF-16LE's are counted and a
// stateful page is written whole: either would write the lone half.
bool SplitsPair(std::u16string_view text, size_t position) {
  return position > 0 && position < text.size() && U16_IS_LEAD(text[position - 1]) && U16_IS_TRAIL(text[position]);
}

// The first character of `text` that the page cannot carry.
SpliceResult Unencodable(std::u16string_view text, CodePage codePage) {
  std::string ignored;
  for (size_t i = 0; i < text.size();) {
    const size_t start = i;
    UChar32 c;
    U16_NEXT(text.data(), i, text.size(), c);
    if (!EncodeFromUtf16(text.substr(start, i - start), codePage, ignored))
      return {false, {}, ReplaceProblem::CodePageCannotHold, static_cast<char32_t>(c)};
  }
  return {false, {}, ReplaceProblem::CodePageCannotHold, 0};
}

SpliceResult ReencodeWhole(std::string_view bytes, size_t markLength, CodePage codePage,
                           std::u16string_view text, const TextEdits& edits) {
  std::string again;
  if (!EncodeFromUtf16(text, codePage, again) || again != bytes.substr(markLength))
    return {false, {}, ReplaceProblem::EncodingNotRewritable};
  const std::u16string changed = ApplyEdits(text, edits);
  std::string encoded;
  if (!EncodeFromUtf16(changed, codePage, encoded))
    return Unencodable(changed, codePage);
  return {true, std::string(bytes.substr(0, markLength)) + encoded, {}};
}

}  // namespace

SpliceResult SpliceEdits(std::string_view bytes, size_t markLength, CodePage codePage,
                         std::u16string_view text, const TextEdits& edits) {
  for (const TextEdit& edit : edits)
    if (SplitsPair(text, edit.position) || SplitsPair(text, edit.position + edit.length))
      return {false, {}, ReplaceProblem::NotOnCharacterBoundary};
  if (IsStatefulCodePage(codePage)) return ReencodeWhole(bytes, markLength, codePage, text, edits);

  const std::string_view body = bytes.substr(markLength);
  std::vector<size_t> positions;
  positions.reserve(edits.size() * 2);
  for (const TextEdit& edit : edits) {
    positions.push_back(edit.position);
    positions.push_back(edit.position + edit.length);
  }
  const auto offsets = ByteOffsetsOfPositions(body, codePage, positions);
  if (!offsets) return {false, {}, ReplaceProblem::NotOnCharacterBoundary};

  std::string result(bytes.substr(0, markLength));
  result.reserve(bytes.size());
  size_t copied = 0;
  std::string encoded;
  for (size_t i = 0; i < edits.size(); ++i) {
    if (!EncodeFromUtf16(edits[i].replacement, codePage, encoded))
      return Unencodable(edits[i].replacement, codePage);
    const size_t start = (*offsets)[2 * i];
    result.append(body.substr(copied, start - copied));
    result += encoded;
    copied = (*offsets)[2 * i + 1];
  }
  result.append(body.substr(copied));

  // A last check that costs one decoding: the new bytes must read as the
  // edited text, or the file stays as it is.
  std::u16string reread;
  if (!DecodeToUtf16(std::string_view(result).substr(markLength), codePage, reread) ||
      reread != ApplyEdits(text, edits))
    return {false, {}, ReplaceProblem::PlacementUncertain};
  return {true, std::move(result), {}};
}

}  // namespace trawlscope
