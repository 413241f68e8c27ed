#include "platform/codepage/conversion/CodePageConverter.h"

#include "platform/codepage/ByteScan.h"
#include "platform/codepage/conversion/ByteTableDecoder.h"
#include "platform/codepage/conversion/ConverterCache.h"
#include "platform/codepage/conversion/Utf8Prefix.h"

#include <unicode/ucnv.h>

#include <algorithm>
#include <bit>
#include <cstring>
#include <map>
#include <mutex>

namespace trawlscope {
namespace {

bool IsPureAscii(std::string_view bytes) { return !HasHighBytes(bytes); }

void WidenAscii(std::string_view bytes, std::u16string& text) {
  text.resize(bytes.size());
  std::transform(bytes.begin(), bytes.end(), text.begin(),
                 [](char c) { return static_cast<char16_t>(static_cast<unsigned char>(c)); });
}

void CopyUtf16Le(std::string_view bytes, std::u16string& text) {
  text.resize(bytes.size() / 2);
  if constexpr (std::endian::native == std::endian::little) {
    std::memcpy(text.data(), bytes.data(), text.size() * sizeof(char16_t));
    return;
  }
  for (size_t i = 0; i < text.size(); ++i)
    text[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                    (static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
}

// ICU's own substitution, counting the sequences it stands in for: the
// count tells a file read in a wrong page without another pass over its text.
void CountingSubstitute(const void* context, UConverterToUnicodeArgs* args, const char* codeUnits, int32_t length,
                        UConverterCallbackReason reason, UErrorCode* status) {
  if (reason <= UCNV_IRREGULAR) ++*static_cast<size_t*>(const_cast<void*>(context));
  UCNV_TO_U_CALLBACK_SUBSTITUTE(nullptr, args, codeUnits, length, reason, status);
}

// Appends to the `produced` units `text` already holds.
bool DecodeWithIcu(UConverter* converter, std::string_view bytes, std::u16string& text, size_t produced = 0,
                   size_t* undecodable = nullptr) {
  if (undecodable != nullptr) {
    UErrorCode status = U_ZERO_ERROR;
    ucnv_setToUCallBack(converter, CountingSubstitute, undecodable, nullptr, nullptr, &status);
  }
  text.resize(produced + bytes.size() + 16);
  const char* source = bytes.data();
  const char* sourceLimit = bytes.data() + bytes.size();
  for (;;) {
    UChar* target = reinterpret_cast<UChar*>(text.data()) + produced;
    UChar* targetLimit = reinterpret_cast<UChar*>(text.data()) + text.size();
    UErrorCode status = U_ZERO_ERROR;
    ucnv_toUnicode(converter, &target, targetLimit, &source, sourceLimit, nullptr, true, &status);
    produced = target - reinterpret_cast<UChar*>(text.data());
    if (status == U_BUFFER_OVERFLOW_ERROR) {
      text.resize(text.size() * 2);
      continue;
    }
    text.resize(produced);
    if (undecodable != nullptr) {
      // The converter is shared by the thread's later calls, which do not count.
      UErrorCode reset = U_ZERO_ERROR;
      ucnv_setToUCallBack(converter, UCNV_TO_U_CALLBACK_SUBSTITUTE, nullptr, nullptr, nullptr, &reset);
    }
    return U_SUCCESS(status);
  }
}

// Whether the page reads every byte below 0x80 as that character.
bool ReadsAsciiAsItself(UConverter* converter) {
  std::string ascii(0x80, '\0');
  for (int i = 0; i < 0x80; ++i) ascii[i] = static_cast<char>(i);
  std::u16string decoded;
  if (!DecodeWithIcu(converter, ascii, decoded) || decoded.size() != ascii.size()) return false;
  for (size_t i = 0; i < ascii.size(); ++i)
    if (decoded[i] != static_cast<char16_t>(ascii[i])) return false;
  return true;
}

}  // namespace

bool IsAsciiTransparent(CodePage codePage) {
  static std::mutex mutex;
  static std::map<CodePage, bool> known;
  std::lock_guard lock(mutex);
  if (const auto it = known.find(codePage); it != known.end()) return it->second;
  UConverter* converter = CachedConverter(codePage);
  bool transparent = converter != nullptr && ReadsAsciiAsItself(converter);
  // Stateful encodings switch on ESC, SO and SI, and HZ on "~{": plain text
  // in them is not plain ASCII even when every byte is.
  if (IsStatefulCodePage(codePage)) transparent = false;
  known[codePage] = transparent;
  return transparent;
}

bool DecodeToUtf16(std::string_view bytes, CodePage codePage, std::u16string& text, size_t* undecodable) {
  // Not cleared first: resizing zero-fills only the units it adds, and a
  // searcher's text, kept from file to file, is mostly large enough already.
  if (codePage == codepage::kUtf16Le) {
    CopyUtf16Le(bytes, text);
    return true;
  }
  // UTF-8's own decoding widens ASCII as it goes, without a pass to find it first.
  if (codePage != codepage::kUtf8 && IsPureAscii(bytes) && IsAsciiTransparent(codePage)) {
    WidenAscii(bytes, text);
    return true;
  }
  text.resize(bytes.size());
  const HeldPrefix held = codePage == codepage::kUtf8 ? DecodeUtf8Prefix(bytes, text.data())
                                                      : DecodeHeldPrefix(bytes, codePage, text.data());
  if (held.bytes == bytes.size()) {
    text.resize(held.units);
    return true;
  }
  UConverter* converter = CachedConverter(codePage);
  if (converter == nullptr) {
    text.clear();
    return false;
  }
  if (!DecodeWithIcu(converter, bytes.substr(held.bytes), text, held.units, undecodable)) {
    text.clear();
    return false;
  }
  return true;
}

bool EncodeFromUtf16(std::u16string_view text, CodePage codePage, std::string& bytes) {
  bytes.clear();
  if (codePage == codepage::kUtf16Le) {
    bytes.resize(text.size() * 2);
    for (size_t i = 0; i < text.size(); ++i) {
      bytes[2 * i] = static_cast<char>(text[i] & 0xFF);
      bytes[2 * i + 1] = static_cast<char>(text[i] >> 8);
    }
    return true;
  }
  UConverter* converter = CachedConverter(codePage);
  if (converter == nullptr) return false;
  UErrorCode status = U_ZERO_ERROR;
  // A character the code page cannot hold must fail the conversion, not turn into "?".
  ucnv_setFromUCallBack(converter, UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
  const UChar* source = reinterpret_cast<const UChar*>(text.data());
  const UChar* sourceLimit = source + text.size();
  bytes.resize(text.size() * 3 + 16);
  size_t produced = 0;
  for (;;) {
    char* target = bytes.data() + produced;
    status = U_ZERO_ERROR;
    ucnv_fromUnicode(converter, &target, bytes.data() + bytes.size(), &source, sourceLimit,
                     nullptr, true, &status);
    produced = target - bytes.data();
    if (status == U_BUFFER_OVERFLOW_ERROR) {
      bytes.resize(bytes.size() * 2);
      continue;
    }
    bytes.resize(U_SUCCESS(status) ? produced : 0);
    return U_SUCCESS(status);
  }
}

std::string ConvertCodePage(std::string_view bytes, CodePage from, CodePage to) {
  if (from == to) return std::string(bytes);
  std::u16string text;
  std::string converted;
  if (!DecodeToUtf16(bytes, from, text) || !EncodeFromUtf16(text, to, converted)) return {};
  return converted;
}

}  // namespace trawlscope
