#include "search/text/ByteSplice.h"

#include <unicode/utf16.h>

#include <cstdio>

#include "platform/codepage/ByteOffsets.h"
#include "platform/codepage/CodePageConverter.h"
#include "platform/files/NativePath.h"

namespace trawlscope {
namespace {

// Names the first character of `text` that the page cannot carry.
std::string UnencodableCharacter(std::u16string_view text, CodePage codePage) {
  std::string ignored;
  for (size_t i = 0; i < text.size();) {
    const size_t start = i;
    UChar32 c;
    U16_NEXT(text.data(), i, text.size(), c);
    const std::u16string_view character = text.substr(start, i - start);
    if (!EncodeFromUtf16(character, codePage, ignored)) {
      char code[16];
      std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(c));
      return "the file's code page (" + std::to_string(codePage) + ") cannot hold \"" +
             ToNativeBytes(character) + "\" (" + code + ")";
    }
  }
  return "the replacement cannot be written in the file's code page (" +
         std::to_string(codePage) + ")";
}

SpliceResult ReencodeWhole(std::string_view bytes, size_t markLength, CodePage codePage,
                           std::u16string_view text, const TextEdits& edits) {
  std::string again;
  if (!EncodeFromUtf16(text, codePage, again) || again != bytes.substr(markLength))
    return {false, {}, "its encoding cannot be rewritten without changing other bytes"};
  const std::u16string changed = ApplyEdits(text, edits);
  std::string encoded;
  if (!EncodeFromUtf16(changed, codePage, encoded))
    return {false, {}, UnencodableCharacter(changed, codePage)};
  return {true, std::string(bytes.substr(0, markLength)) + encoded, {}};
}

}  // namespace

SpliceResult SpliceEdits(std::string_view bytes, size_t markLength, CodePage codePage,
                         std::u16string_view text, const TextEdits& edits) {
  if (IsStatefulCodePage(codePage)) return ReencodeWhole(bytes, markLength, codePage, text, edits);

  const std::string_view body = bytes.substr(markLength);
  std::vector<size_t> positions;
  positions.reserve(edits.size() * 2);
  for (const TextEdit& edit : edits) {
    positions.push_back(edit.position);
    positions.push_back(edit.position + edit.length);
  }
  const auto offsets = ByteOffsetsOfPositions(body, codePage, positions);
  if (!offsets) return {false, {}, "an occurrence does not begin or end on a character of the file"};

  std::string result(bytes.substr(0, markLength));
  result.reserve(bytes.size());
  size_t copied = 0;
  std::string encoded;
  for (size_t i = 0; i < edits.size(); ++i) {
    if (!EncodeFromUtf16(edits[i].replacement, codePage, encoded))
      return {false, {}, UnencodableCharacter(edits[i].replacement, codePage)};
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
    return {false, {}, "the change cannot be placed in the file's bytes with certainty"};
  return {true, std::move(result), {}};
}

}  // namespace trawlscope
