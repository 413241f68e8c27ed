#include "platform/codepage/conversion/ByteTableDecoder.h"

#include <unicode/ucnv.h>

#include <array>
#include <cstdint>
#include <string>
#include <map>
#include <memory>
#include <vector>

#include "platform/codepage/AsciiWidening.h"
#include "platform/codepage/conversion/ConverterCache.h"
#include "platform/codepage/PerCodePage.h"
#include "platform/codepage/conversion/SequenceConversion.h"

namespace trawlscope {
namespace {

// Marks in the tables: noncharacters, which no page decodes to.
constexpr char16_t kNotHeld = 0xFFFF;
constexpr char16_t kLeadByte = 0xFFFE;

struct ByteTable {
  std::array<char16_t, 0x100> single{};  // a character, kLeadByte or kNotHeld
  std::vector<char16_t> pairs;           // lead << 8 | trail: a character or kNotHeld
  bool asciiIsItself = false;            // bytes below 0x80 decode to the same units
};

std::unique_ptr<ByteTable> BuildTable(CodePage codePage) {
  UConverter* converter = CachedConverter(codePage);
  if (converter == nullptr) return nullptr;
  const UConverterType type = ucnv_getType(converter);
  if (type != UCNV_SBCS && type != UCNV_DBCS && type != UCNV_MBCS) return nullptr;
  const bool doubleByte = ucnv_getMaxCharSize(converter) > 1;

  auto table = std::make_unique<ByteTable>();
  table->single.fill(kNotHeld);
  std::vector<std::string> singles;
  for (int b = 0; b < 0x100; ++b) singles.push_back(std::string(1, static_cast<char>(b)));
  // The marks are no characters any page decodes to; were one, ICU keeps it.
  const auto held = [](char16_t unit) { return unit < kLeadByte; };
  if (!DecodeEachSequence(codePage, singles, [&](size_t b, char16_t unit) {
        if (held(unit)) table->single[b] = unit;
      }))
    return nullptr;
  table->asciiIsItself = true;
  for (unsigned b = 0; b < 0x80; ++b) table->asciiIsItself &= table->single[b] == b;

  if (doubleByte) {
    table->pairs.assign(0x10000, kNotHeld);
    // A lead byte's row at a time: the conversion's buffers stay small and in
    // the cache, where all rows at once took megabytes of fresh pages.
    std::vector<std::string> row(0x100);
    for (unsigned lead = 0x80; lead < 0x100; ++lead) {
      if (table->single[lead] != kNotHeld) continue;
      for (unsigned trail = 0; trail < 0x100; ++trail) row[trail] = {static_cast<char>(lead), static_cast<char>(trail)};
      DecodeEachSequence(codePage, row, [&](size_t trail, char16_t unit) {
        if (!held(unit)) return;
        table->pairs[lead << 8 | trail] = unit;
        table->single[lead] = kLeadByte;
      });
    }
  }
  return table;
}

const ByteTable* TableFor(CodePage codePage) {
  thread_local std::map<CodePage, const ByteTable*> known;
  auto it = known.find(codePage);
  if (it == known.end()) it = known.emplace(codePage, OncePerCodePage<ByteTable, BuildTable>(codePage)).first;
  return it->second;
}

}  // namespace

HeldPrefix DecodeHeldPrefix(std::string_view bytes, CodePage codePage, char16_t* out) {
  const ByteTable* table = TableFor(codePage);
  if (table == nullptr) return {};

  const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
  const size_t size = bytes.size();
  char16_t* const start = out;
  // Most text in these pages is ASCII between the other characters.
  const bool widenAscii = table->asciiIsItself;
  const char16_t* const single = table->single.data();
  const char16_t* const pairs = table->pairs.data();
  size_t i = 0;
  while (i < size) {
    const unsigned byte = data[i];
    if (byte < 0x80 && widenAscii) {
      i = WidenAsciiRun(data, i, size, out);
      continue;
    }
    const char16_t unit = single[byte];
    if (unit < kLeadByte) {
      *out++ = unit;
      ++i;
      continue;
    }
    if (unit == kNotHeld || i + 1 == size) break;
    const char16_t pair = pairs[byte << 8 | data[i + 1]];
    if (pair == kNotHeld) break;
    *out++ = pair;
    i += 2;
  }
  return {i, static_cast<size_t>(out - start)};
}

bool DecodeThroughByteTable(std::string_view bytes, CodePage codePage, std::u16string& text) {
  text.resize(bytes.size());
  const HeldPrefix prefix = DecodeHeldPrefix(bytes, codePage, text.data());
  text.resize(prefix.units);
  return prefix.bytes == bytes.size();
}

bool ForEachHeldSequence(CodePage codePage, const std::function<void(std::string_view, char16_t)>& visit) {
  const ByteTable* table = TableFor(codePage);
  if (table == nullptr) return false;
  for (unsigned b = 0; b < 0x100; ++b) {
    const char16_t unit = table->single[b];
    if (unit < kLeadByte) visit(std::string(1, static_cast<char>(b)), unit);
  }
  for (unsigned key = 0; key < table->pairs.size(); ++key) {
    if (table->pairs[key] == kNotHeld) continue;
    const char pair[] = {static_cast<char>(key >> 8), static_cast<char>(key & 0xFF)};
    visit(std::string_view(pair, 2), table->pairs[key]);
  }
  return true;
}

}  // namespace trawlscope
