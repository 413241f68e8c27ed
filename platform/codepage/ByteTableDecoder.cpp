#include "platform/codepage/ByteTableDecoder.h"

#include <unicode/ucnv.h>

#include <array>
#include <cstdint>
#include <string>
#include <map>
#include <memory>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "platform/codepage/ConverterCache.h"
#include "platform/codepage/PerCodePage.h"

namespace trawlscope {
namespace {

// Marks in the tables, never a character the table hands out: ICU's own
// substitutes are left to ICU, which knows what it replaced.
constexpr char16_t kNotHeld = 0xFFFF;
constexpr char16_t kLeadByte = 0xFFFE;

struct ByteTable {
  std::array<char16_t, 0x100> single{};  // a character, kLeadByte or kNotHeld
  std::vector<char16_t> pairs;           // lead << 8 | trail: a character or kNotHeld
  bool asciiIsItself = false;            // bytes below 0x80 decode to the same units
};

#if defined(__SSE2__)
// Widens the ASCII bytes from `i` on, sixteen at a time, up to the first block
// holding a high byte; returns where it stopped.
size_t WidenAsciiBlocks(const unsigned char* data, size_t i, size_t size, char16_t*& out) {
  const __m128i zero = _mm_setzero_si128();
  for (; i + 16 <= size; i += 16) {
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
    if (_mm_movemask_epi8(block) != 0) break;
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_unpacklo_epi8(block, zero));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 8), _mm_unpackhi_epi8(block, zero));
    out += 16;
  }
  return i;
}
#endif

// ICU puts U+FFFD or SUB in place of what it cannot decode: those are left
// to ICU, unless SUB came from SUB itself.
bool IsSubstitute(char16_t unit, std::string_view sequence) {
  return unit == 0xFFFD || unit >= kLeadByte || (unit == 0x1A && sequence != "\x1a");
}

// Each candidate sequence followed by LF, all in one conversion with offsets:
// a sequence is one character when exactly one unit comes from its first
// byte, none from the rest, and the LF after it comes out alone.
template <typename Accept>
void ConvertEach(UConverter* converter, const std::vector<std::string>& sequences, Accept accept) {
  std::string source;
  std::vector<size_t> starts;
  for (const std::string& sequence : sequences) {
    starts.push_back(source.size());
    source += sequence;
    source += '\n';
  }
  std::u16string out(source.size() + 16, u'\0');
  std::vector<int32_t> offsets(out.size());
  const char* from = source.data();
  UChar* to = reinterpret_cast<UChar*>(out.data());
  UErrorCode status = U_ZERO_ERROR;
  ucnv_toUnicode(converter, &to, to + out.size(), &from, source.data() + source.size(), offsets.data(), true,
                 &status);
  if (U_FAILURE(status)) return;
  const size_t produced = static_cast<size_t>(to - reinterpret_cast<UChar*>(out.data()));
  size_t k = 0;
  for (size_t s = 0; s < sequences.size(); ++s) {
    const size_t lf = starts[s] + sequences[s].size();
    size_t fromStart = 0, fromRest = 0;
    char16_t unit = 0;
    for (; k < produced && static_cast<size_t>(offsets[k]) < lf; ++k) {
      if (static_cast<size_t>(offsets[k]) == starts[s]) {
        ++fromStart;
        unit = out[k];
      } else {
        ++fromRest;
      }
    }
    const bool lfAlone = k < produced && static_cast<size_t>(offsets[k]) == lf && out[k] == u'\n';
    if (lfAlone) ++k;
    if (fromStart == 1 && fromRest == 0 && lfAlone && !IsSubstitute(unit, sequences[s])) accept(s, unit);
  }
}

std::unique_ptr<ByteTable> BuildTable(CodePage codePage) {
  UConverter* converter = CachedConverter(codePage);
  if (converter == nullptr) return nullptr;
  const UConverterType type = ucnv_getType(converter);
  if (type != UCNV_SBCS && type != UCNV_DBCS && type != UCNV_MBCS) return nullptr;

  auto table = std::make_unique<ByteTable>();
  table->single.fill(kNotHeld);
  std::vector<std::string> singles;
  for (int b = 0; b < 0x100; ++b) singles.push_back(std::string(1, static_cast<char>(b)));
  ConvertEach(converter, singles, [&](size_t b, char16_t unit) { table->single[b] = unit; });
  // The separator must be LF itself: not so in EBCDIC pages, left to ICU.
  if (table->single['\n'] != u'\n') return nullptr;
  table->asciiIsItself = true;
  for (unsigned b = 0; b < 0x80; ++b) table->asciiIsItself &= table->single[b] == b;

  if (ucnv_getMaxCharSize(converter) > 1) {
    std::vector<std::string> pairs;
    std::vector<unsigned> keys;
    for (unsigned lead = 0x80; lead < 0x100; ++lead) {
      if (table->single[lead] != kNotHeld) continue;
      for (unsigned trail = 0; trail < 0x100; ++trail) {
        pairs.push_back({static_cast<char>(lead), static_cast<char>(trail)});
        keys.push_back(lead << 8 | trail);
      }
    }
    table->pairs.assign(0x10000, kNotHeld);
    ucnv_reset(converter);
    ConvertEach(converter, pairs, [&](size_t s, char16_t unit) {
      table->pairs[keys[s]] = unit;
      table->single[keys[s] >> 8] = kLeadByte;
    });
  }
  ucnv_reset(converter);
  return table;
}

}  // namespace

HeldPrefix DecodeHeldPrefix(std::string_view bytes, CodePage codePage, char16_t* out) {
  thread_local std::map<CodePage, const ByteTable*> known;
  auto it = known.find(codePage);
  if (it == known.end()) it = known.emplace(codePage, OncePerCodePage<ByteTable, BuildTable>(codePage)).first;
  const ByteTable* table = it->second;
  if (table == nullptr) return {};

  const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
  const size_t size = bytes.size();
  char16_t* const start = out;
  size_t i = 0;
  while (i < size) {
#if defined(__SSE2__)
    // Most text in these pages is ASCII between the other characters.
    if (data[i] < 0x80 && table->asciiIsItself) {
      i = WidenAsciiBlocks(data, i, size, out);
      if (i == size) break;
    }
#endif
    const char16_t unit = table->single[data[i]];
    if (unit < kLeadByte) {
      *out++ = unit;
      ++i;
      continue;
    }
    if (unit == kNotHeld || i + 1 == size) break;
    const char16_t pair = table->pairs[data[i] << 8 | data[i + 1]];
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

}  // namespace trawlscope
