#include "platform/codepage/binary/BinaryContent.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "platform/codepage/ByteScan.h"
#include "platform/codepage/detection/CodePageDetector.h"
#include "support/Transcode.h"

namespace trawlscope {
namespace {

using test::Transcode;

struct Sample {
  const char* name;
  std::string bytes;
};

std::string Repeat(std::string_view text, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += text;
  return out;
}

// More than the sample, so that the cut at its end is part of the test.
std::string FirstPartOf(const char* path) {
  std::ifstream in(path, std::ios::binary);
  std::string bytes(3 * kDetectionSampleBytes, '\0');
  in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  bytes.resize(static_cast<size_t>(in.gcount()));
  return bytes;
}

std::string BigEndian32(uint32_t value) {
  return {char(value >> 24), char(value >> 16), char(value >> 8), char(value)};
}

// Compressed data, as in a PNG's IDAT chunk or a .gz file, looks random.
std::string RandomBytes(size_t count, bool withNul) {
  std::mt19937 generator(20240607);
  std::string bytes;
  while (bytes.size() < count) {
    const char byte = static_cast<char>(generator() & 0xFF);
    if (byte != '\0' || withNul) bytes += byte;
  }
  return bytes;
}

std::string Png() {
  std::string bytes("\x89PNG\r\n\x1a\n", 8);
  bytes += BigEndian32(13) + "IHDR" + BigEndian32(640) + BigEndian32(480) + std::string("\x08\x06\0\0\0", 5);
  bytes += BigEndian32(0x5B1C3A7E);  // CRC
  bytes += BigEndian32(4000) + "IDAT" + RandomBytes(4000, true);
  return bytes;
}

// A ustar header as tar writes it: ASCII fields ended by single NULs.
std::string TarOfOneTextFile() {
  const auto field = [](std::string value, size_t width) {
    value.resize(width, '\0');
    return value;
  };
  std::string header = field("notes.txt", 100) + field("0000644", 8) + field("0001750", 8) +
                       field("0001750", 8) + field("00000000034", 12) + field("14650731234", 12) +
                       field("0012345", 8) + "0" + field("", 100) + field("ustar  ", 8) +
                       field("writer", 32) + field("writer", 32);
  header.resize(512, '\0');
  return header + field("Meeting notes for Tuesday.\n", 512);
}

// An ar archive (a static library) opens with its symbol table: the offsets of
// the members as big-endian 32-bit numbers, code points in a UTF-32 reading.
std::string StaticLibrary(uint32_t firstMember, uint32_t memberSize) {
  std::string bytes = "!<arch>\n/               0           0     0     0       163686    `\n";
  constexpr uint32_t kSymbols = 2400;
  bytes += BigEndian32(kSymbols);
  for (uint32_t i = 0; i < kSymbols; ++i) bytes += BigEndian32(firstMember + (i / 6) * memberSize);
  return bytes;
}

// Records of a length and an offset, both as 32-bit numbers in a UTF-32 reading:
// small lengths are characters, large offsets fall where there are none.
std::string IndexOfRecords() {
  std::string bytes;
  for (uint32_t i = 0; i < 1500; ++i) {
    const uint32_t length = 40 + (i * 37) % 900, offset = 0x50000 + i * 500;
    bytes += std::string{char(length), char(length >> 8), char(length >> 16), char(length >> 24)};
    bytes += std::string{char(offset), char(offset >> 8), char(offset >> 16), char(offset >> 24)};
  }
  return bytes;
}

const std::string kJapaneseLines = Repeat(std::string(test::kJapaneseSentence) + "\n", 20);
const std::string kEnglishLines =
    Repeat("The quick brown fox jumps over the lazy dog, twice before breakfast.\n", 20);

std::vector<Sample> BinarySamples() {
  return {
      {"the running test program", FirstPartOf("/proc/self/exe")},
      {"PNG image", Png()},
      {"tar archive of a text file", TarOfOneTextFile()},
      {"small static library", StaticLibrary(70000, 400)},
      {"large static library", StaticLibrary(165888, 2210)},
      {"index of records", IndexOfRecords()},
      {"NUL-separated file list",
       Repeat(std::string("/home/writer/projects/trawlscope/search/FileList.cpp\0", 53) +
                  std::string("/home/writer/notes/2024-06-07 meeting.txt\0", 42),
              30)},
      {"random bytes without NUL", RandomBytes(3000, false)},
      {"only NUL", std::string(4096, '\0')},
      {"one NUL", std::string(1, '\0')},
  };
}

std::vector<Sample> TextSamples() {
  return {
      {"empty", ""},
      {"English UTF-8", kEnglishLines},
      {"English UTF-16 LE", Transcode(kEnglishLines, "UTF-16LE")},
      {"English UTF-16 BE", Transcode(kEnglishLines, "UTF-16BE")},
      {"English UTF-32 LE", Transcode(kEnglishLines, "UTF-32LE")},
      {"English UTF-32 BE", Transcode(kEnglishLines, "UTF-32BE")},
      {"Japanese UTF-16 LE", Transcode(kJapaneseLines, "UTF-16LE")},
      {"Japanese UTF-16 BE", Transcode(kJapaneseLines, "UTF-16BE")},
      {"Japanese UTF-32 LE", Transcode(kJapaneseLines, "UTF-32LE")},
      {"Japanese UTF-32 BE", Transcode(kJapaneseLines, "UTF-32BE")},
      // No line break, so no zero byte and ASCII's controls in its bytes.
      {"one Japanese line in UTF-16 LE", Transcode(test::kJapaneseSentence, "UTF-16LE")},
      {"Chinese UTF-16 LE", Transcode(Repeat(std::string(test::kChineseSentence) + "\n", 20), "UTF-16LE")},
      {"Russian UTF-16 BE", Transcode(Repeat(std::string(test::kRussianSentence) + "\n", 20), "UTF-16BE")},
      {"UTF-16 LE with its mark", "\xFF\xFE" + Transcode(kJapaneseLines, "UTF-16LE")},
      {"UTF-32 BE with its mark", std::string("\0\0\xFE\xFF", 4) + Transcode(kJapaneseLines, "UTF-32BE")},
      {"ISO-2022-JP", Transcode(kJapaneseLines, "ISO-2022-JP")},
      {"ISO-2022-KR", Transcode(Repeat("한국어 문장입니다. 서울은 수도입니다.\n", 20), "ISO-2022-KR")},
      {"Shift_JIS", Transcode(kJapaneseLines, "windows-31j")},
      {"overstruck manual page",
       Repeat("N\bNA\bAM\bME\bE\n       l\bls\bs - list _\bd_\bi_\br_\be_\bc_\bt_\bo_\br_\by contents\n", 40)},
      {"terminal log with colours", Repeat("\x1b[1;32mok\x1b[0m build finished\r\n", 40)},
      {"DOS text ended by SUB", kEnglishLines + "\x1a"},
      {"form feeds between pages", Repeat(kEnglishLines + "\f", 3)},
      {"a few stray controls", kEnglishLines + "map \x01 to \x17\n"},
      // Programs that write C strings with their terminator, or pad to a block.
      {"text ended by a NUL", kEnglishLines + std::string(1, '\0')},
      {"text ended by two NULs", kEnglishLines + std::string(2, '\0')},
      {"text ended by a zeroed block", kEnglishLines + std::string(4096, '\0')},
      {"UTF-16 LE ended by a NUL unit", Transcode(kJapaneseLines, "UTF-16LE") + std::string(2, '\0')},
      // A log whose last writes before a crash came back as zeros.
      {"log with a zeroed block inside", kEnglishLines + std::string(4096, '\0') + kEnglishLines},
      {"text behind zeros with one letter among them",
       std::string(637, '\0') + "a" + std::string(433, '\0') + "<title>NOT UTF-16!</title>"},
  };
}

TEST(BinaryContent, ProgramsImagesAndArchivesAreBinary) {
  for (const Sample& sample : BinarySamples()) {
    ASSERT_FALSE(sample.bytes.empty()) << sample.name;
    EXPECT_TRUE(IsBinaryContent(sample.bytes)) << sample.name;
  }
}

TEST(BinaryContent, SystemProgramsAndLibrariesAreBinary) {
  for (const char* path : {"/bin/ls", "/lib/x86_64-linux-gnu/libc.so.6"}) {
    const std::string bytes = FirstPartOf(path);
    if (bytes.empty()) continue;
    EXPECT_TRUE(IsBinaryContent(bytes)) << path;
  }
}

TEST(BinaryContent, TextInEveryEncodingIsText) {
  for (const Sample& sample : TextSamples()) EXPECT_FALSE(IsBinaryContent(sample.bytes)) << sample.name;
}

TEST(BinaryContent, NulsAmongTextAreBinaryUnlessABlock) {
  EXPECT_TRUE(IsBinaryContent(kEnglishLines + std::string(1, '\0') + kEnglishLines));
  EXPECT_TRUE(IsBinaryContent(kEnglishLines + std::string(63, '\0') + kEnglishLines));
  EXPECT_FALSE(IsBinaryContent(kEnglishLines + std::string(64, '\0') + kEnglishLines));
}

TEST(BinaryContent, OnlyTheSampleIsJudged) {
  const std::string header = Repeat("A header line that is plain ASCII text.\n", 300);
  ASSERT_GT(header.size(), kDetectionSampleBytes);
  EXPECT_FALSE(IsBinaryContent(header + FirstPartOf("/proc/self/exe")));
  EXPECT_TRUE(IsBinaryContent(FirstPartOf("/proc/self/exe") + header));
}

// The searcher decodes what passes here with the detector's code page: wide
// text without a mark must come out as the same text.
TEST(BinaryContent, WideTextItPassesIsDetectedAsWide) {
  for (const auto& [converter, codePage] : {std::pair{"UTF-16LE", codepage::kUtf16Le},
                                            {"UTF-16BE", codepage::kUtf16Be},
                                            {"UTF-32LE", codepage::kUtf32Le},
                                            {"UTF-32BE", codepage::kUtf32Be}}) {
    for (const std::string& text : {kJapaneseLines, kEnglishLines}) {
      const std::string bytes = Transcode(text, converter);
      ASSERT_FALSE(IsBinaryContent(bytes)) << converter;
      EXPECT_EQ(DetectCodePage(bytes), codePage) << converter;
    }
  }
}

// The share of stray controls decides at one in twenty, counted the same
// whichever way the bytes are scanned: layout and escape controls are text,
// DEL and the other C0 controls are not.
TEST(BinaryContent, StrayControlShareDecidesAtOneInTwenty) {
  for (const char strayByte : {'\x01', '\x7f', '\x1f'}) {
    for (const size_t size : {2000u, 2003u, 10000u}) {
      const size_t allowed = size / 20;
      for (const size_t strays : {allowed, allowed + 1}) {
        // High bytes read as letters byte by byte but as lone surrogates or
        // nothing at all in UTF-16 and UTF-32: only the byte reading decides.
        std::string sample(size, '\xD8');
        for (size_t k = 0; k < strays; ++k) sample[(k * 7919) % size] = strayByte;
        // Layout and escape controls everywhere else count for nothing.
        for (size_t k = 3; k < size; k += 97)
          if (sample[k] == '\xD8') sample[k] = "\t\n\r\b\x0e\x1a\x1b"[k % 7];
        size_t placed = 0;
        for (const char c : sample) placed += c == strayByte;
        ASSERT_EQ(placed, strays);
        EXPECT_EQ(IsBinaryContent(sample), strays > allowed) << int(strayByte) << " " << size << " " << strays;
      }
    }
  }
}

// UTF-16 text: "é" throughout, which the other byte order reads as private
// use and the byte reading as text broken by NULs, so that only the wide
// reading in this byte order decides.
std::string WideSample(const std::vector<char16_t>& units, bool bigEndian) {
  std::string bytes;
  for (const char16_t unit : units) {
    const char low = static_cast<char>(unit & 0xFF), high = static_cast<char>(unit >> 8);
    bytes += bigEndian ? high : low;
    bytes += bigEndian ? low : high;
  }
  return bytes;
}

// Strays and ASCII-looking pairs are counted alike wherever they fall, eight
// units at a time or one by one around surrogate pairs.
TEST(BinaryContent, WideStrayAndAsciiPairSharesDecideAtTheirBounds) {
  for (const bool bigEndian : {false, true}) {
    for (const size_t size : {1003u, 4000u, 5000u}) {
      // Surrogate pairs every 101 units: one character each.
      std::vector<char16_t> base(size, u'\u00E9');
      size_t pairs = 0;
      for (size_t k = 50; k + 1 < size; k += 101, ++pairs) base[k] = 0xD83D, base[k + 1] = 0xDE00;
      const size_t characters = size - pairs;
      const auto isFree = [&](const std::vector<char16_t>& units, size_t k) { return units[k] == u'\u00E9'; };

      const size_t allowed = characters / 20;
      for (const size_t strays : {allowed, allowed + 1}) {
        std::vector<char16_t> units = base;
        const char16_t strayUnits[] = {0x0001, 0x007F, 0x0090, 0xE000, 0xF8FF, 0xFFFF};
        for (size_t k = 0, placed = 0; placed < strays; k = (k + 7919) % size)
          if (isFree(units, k)) units[k] = strayUnits[placed++ % 6];
        for (size_t k = 3; k < size; k += 37)
          if (isFree(units, k)) units[k] = u"\t\n\x1b"[k % 3];
        EXPECT_EQ(IsBinaryContent(WideSample(units, bigEndian)), strays > allowed)
            << bigEndian << " " << size << " " << strays;
      }

      // U+4141 is "AA" byte by byte: nine in ten such units mean byte text.
      const size_t mostPairs = (characters * 9 + 9) / 10 - 1;
      for (const size_t asciiPairs : {mostPairs, mostPairs + 1}) {
        std::vector<char16_t> units = base;
        for (size_t k = 0, placed = 0; placed < asciiPairs; ++k)
          if (isFree(units, k)) units[k] = 0x4141, ++placed;
        EXPECT_EQ(IsBinaryContent(WideSample(units, bigEndian)), asciiPairs > mostPairs)
            << bigEndian << " " << size << " " << asciiPairs;
      }
    }
  }
}

// The byte reading a byte at a time: no NUL, and at most one stray control
// in twenty bytes; layout and escape controls are text.
bool NulFreeByteTextByteByByte(std::string_view sample) {
  size_t strays = 0;
  for (const char c : sample) {
    const auto b = static_cast<unsigned char>(c);
    if (b == 0) return false;
    strays += (b < 0x20 && !(b >= 0x08 && b <= 0x0F) && b != 0x1A && b != 0x1B) || b == 0x7F;
  }
  return strays <= sample.size() / 20;
}

// The blocks of either width judge as a byte-by-byte walk does: every byte
// value at the start, middle and end of samples around the block sizes that
// already hold as many strays as they may, and each stray control at the
// one-in-twenty bound.
TEST(BinaryContent, ByteReadingInBlocksJudgesAsAByteByByteWalk) {
  std::vector<binary_content::ByteRounds (*)(const unsigned char*, size_t)> widths = {binary_content::InBlocksOf16};
  if (ProcessorHasAvx2()) widths.push_back(binary_content::InBlocksOf32);
  for (const auto rounds : widths) {
    for (const size_t size : {1u, 15u, 16u, 31u, 32u, 33u, 63u, 64u, 65u, 100u, 8191u, 10000u}) {
      for (unsigned value = 0; value < 0x100; ++value) {
        for (const size_t at : {size_t{0}, size / 2, size - 1}) {
          // As many strays elsewhere as the bound allows: one more tips it.
          std::string sample(size, '\xE3');
          for (size_t k = 0; k < size / 20; ++k) sample[(at + 1 + 2 * k) % size] = '\x01';
          sample[at] = static_cast<char>(value);
          ASSERT_EQ(binary_content::NulFreeBytesReadAsTextBy(rounds, sample), NulFreeByteTextByteByByte(sample))
              << "size " << size << ", byte " << value << " at " << at;
        }
      }
    }
    for (const unsigned stray : {0x01u, 0x07u, 0x10u, 0x19u, 0x1Cu, 0x1Fu, 0x7Fu}) {
      for (const size_t size : {2000u, 4097u, 10000u}) {
        for (const size_t strays : {size / 20, size / 20 + 1}) {
          std::string sample(size, 'a');
          for (size_t k = 0; k < strays; ++k) sample[(k * 7919) % size] = static_cast<char>(stray);
          EXPECT_EQ(binary_content::NulFreeBytesReadAsTextBy(rounds, sample), strays <= size / 20)
              << "byte " << stray << ", size " << size << ", strays " << strays;
        }
      }
    }
  }
}

}  // namespace
}  // namespace trawlscope
