#include "platform/codepage/CodePageTable.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <initializer_list>
#include <map>
#include <string>

namespace trawlscope {
namespace {

struct CodePageEntry {
  CodePage codePage;
  const char* icuName;  // nullptr: ICU has no converter
  CodePageFamily family;
  std::initializer_list<const char*> charsetNames;  // as detectors name it
};

using F = CodePageFamily;

// clang-format off
const CodePageEntry kCodePages[] = {
    {932,   "ibm-943_P15A-2003", F::Japanese, {"Shift_JIS", "SJIS", "windows-31j", "cp932"}},
    {51932, "EUC-JP",            F::Japanese, {"EUC-JP"}},
    {20932, "EUC-JP",            F::Japanese, {}},
    {50220, "ISO-2022-JP",       F::Japanese, {"ISO-2022-JP"}},
    {50221, "ISO-2022-JP",       F::Japanese, {}},
    {50222, "ISO-2022-JP",       F::Japanese, {}},
    {10001, nullptr,             F::Japanese, {}},
    {1200,  "UTF-16LE",          F::Unicode,  {"UTF-16LE"}},
    {1201,  "UTF-16BE",          F::Unicode,  {"UTF-16BE", "UTF-16"}},
    {12000, "UTF-32LE",          F::Unicode,  {"UTF-32LE"}},
    {12001, "UTF-32BE",          F::Unicode,  {"UTF-32BE", "UTF-32"}},
    {65001, "UTF-8",             F::Unicode,  {"UTF-8", "ASCII", "US-ASCII"}},
    {65000, "UTF-7",             F::Unicode,  {"UTF-7"}},
    {51936, "ibm-1383_P110-1999", F::Chinese, {"EUC-CN", "GB2312"}},
    {54936, "GB18030",           F::Chinese,  {"GB18030"}},
    {936,   "windows-936-2000",  F::Chinese,  {"GBK", "windows-936"}},
    {20936, "ibm-1383_P110-1999", F::Chinese, {}},
    {52936, "HZ",                F::Chinese,  {"HZ-GB-2312", "HZ"}},
    {50227, "ISO-2022-CN",       F::Chinese,  {"ISO-2022-CN"}},
    {50229, "ISO-2022-CN-EXT",   F::Chinese,  {"ISO-2022-CN-EXT"}},
    {10008, nullptr,             F::Chinese,  {}},
    {50950, nullptr,             F::Chinese,  {}},
    {950,   "windows-950-2000",  F::Chinese,  {"Big5", "windows-950"}},
    {20000, nullptr,             F::Chinese,  {}},
    {51950, "ibm-964_P110-1999", F::Chinese,  {"EUC-TW"}},
    {20002, nullptr,             F::Chinese,  {}},
    {10002, nullptr,             F::Chinese,  {}},
    {949,   "windows-949-2000",  F::Korean,   {"UHC", "windows-949", "cp949"}},
    {51949, "EUC-KR",            F::Korean,   {"EUC-KR"}},
    {50225, "ISO-2022-KR",       F::Korean,   {"ISO-2022-KR"}},
    {1250,  "windows-1250",      F::Other,    {"windows-1250"}},
    {1251,  "windows-1251",      F::Other,    {"windows-1251"}},
    {1252,  "windows-1252",      F::Other,    {"windows-1252"}},
    {1253,  "windows-1253",      F::Other,    {"windows-1253"}},
    {1254,  "windows-1254",      F::Other,    {"windows-1254"}},
    {1255,  "windows-1255",      F::Other,    {"windows-1255"}},
    {1256,  "windows-1256",      F::Other,    {"windows-1256"}},
    {1257,  "windows-1257",      F::Other,    {"windows-1257"}},
    {1258,  "windows-1258",      F::Other,    {"windows-1258"}},
    {28591, "ISO-8859-1",        F::Other,    {"ISO-8859-1"}},
    {28592, "ISO-8859-2",        F::Other,    {"ISO-8859-2"}},
    {28593, "ISO-8859-3",        F::Other,    {"ISO-8859-3"}},
    {28594, "ISO-8859-4",        F::Other,    {"ISO-8859-4"}},
    {28595, "ISO-8859-5",        F::Other,    {"ISO-8859-5"}},
    {28596, "ISO-8859-6",        F::Other,    {"ISO-8859-6"}},
    {28597, "ISO-8859-7",        F::Other,    {"ISO-8859-7"}},
    {28598, "ISO-8859-8",        F::Other,    {"ISO-8859-8"}},
    {38598, "ISO-8859-8-I",      F::Other,    {"ISO-8859-8-I"}},
    {28599, "ISO-8859-9",        F::Other,    {"ISO-8859-9"}},
    {28603, "ISO-8859-13",       F::Other,    {"ISO-8859-13"}},
    {28605, "ISO-8859-15",       F::Other,    {"ISO-8859-15"}},
    {20866, "KOI8-R",            F::Other,    {"KOI8-R"}},
    {21866, "KOI8-U",            F::Other,    {"KOI8-U"}},
    {874,   "windows-874-2000",  F::Other,    {"TIS-620", "windows-874", "ISO-8859-11"}},
    {437,   "IBM437",            F::Other,    {"IBM437"}},
    {850,   "IBM850",            F::Other,    {"IBM850"}},
    {852,   "IBM852",            F::Other,    {"IBM852"}},
    {855,   "IBM855",            F::Other,    {"IBM855"}},
    {866,   "IBM866",            F::Other,    {"IBM866"}},
    {10000, "macos-0_2-10.2",    F::Other,    {"MAC-ROMAN", "macintosh"}},
    {10007, "macos-7_3-10.2",    F::Other,    {"MAC-CYRILLIC", "x-mac-cyrillic"}},
    {10029, "macos-29-10.2",     F::Other,    {"MAC-CENTRALEUROPE", "x-mac-ce"}},
    {20127, "US-ASCII",          F::Other,    {}},
    {20420, "IBM420",            F::Other,    {"IBM420_rtl", "IBM420_ltr", "IBM420"}},
    {20424, "IBM424",            F::Other,    {"IBM424_rtl", "IBM424_ltr", "IBM424"}},
};
// clang-format on

// Detectors spell names in different cases and punctuation: "EUC-JP", "euc_jp".
std::string Folded(std::string_view name) {
  std::string folded;
  for (const char c : name)
    if (std::isalnum(static_cast<unsigned char>(c)))
      folded += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return folded;
}

const CodePageEntry* Find(CodePage codePage) {
  for (const auto& entry : kCodePages)
    if (entry.codePage == codePage) return &entry;
  return nullptr;
}

}  // namespace

const char* IcuConverterName(CodePage codePage) {
  const CodePageEntry* entry = Find(codePage);
  return entry ? entry->icuName : nullptr;
}

std::string CodePageDisplayName(CodePage codePage) {
  const std::string number = std::to_string(codePage);
  const CodePageEntry* entry = Find(codePage);
  if (entry == nullptr) return number;
  const char* name = entry->charsetNames.size() > 0 ? *entry->charsetNames.begin() : entry->icuName;
  return name == nullptr ? number : std::string(name) + " (" + number + ")";
}

CodePage CodePageOfCharsetName(std::string_view name) {
  // Folded once: the detectors name a page for every file, ICU some thirty.
  // The first entry that gives a name keeps it.
  static const std::map<std::string, CodePage, std::less<>> byFoldedName = [] {
    std::map<std::string, CodePage, std::less<>> names;
    for (const auto& entry : kCodePages)
      for (const char* charsetName : entry.charsetNames) names.emplace(Folded(charsetName), entry.codePage);
    return names;
  }();
  const auto it = byFoldedName.find(Folded(name));
  return it != byFoldedName.end() ? it->second : codepage::kNone;
}

std::vector<CodePage> ChoosableCodePages() {
  std::vector<CodePage> pages;
  for (const auto& entry : kCodePages)
    if (entry.icuName != nullptr && entry.charsetNames.size() > 0) pages.push_back(entry.codePage);
  return pages;
}

CodePage CodePageOfUserText(std::string_view text) {
  CodePage page = codepage::kNone;
  if (!text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    if (text.size() <= 6) page = static_cast<CodePage>(std::stoul(std::string(text)));
  } else {
    page = CodePageOfCharsetName(text);
  }
  const std::vector<CodePage> choosable = ChoosableCodePages();
  return std::find(choosable.begin(), choosable.end(), page) != choosable.end() ? page : codepage::kNone;
}

CodePageFamily FamilyOf(CodePage codePage) {
  const CodePageEntry* entry = Find(codePage);
  return entry ? entry->family : CodePageFamily::Other;
}

bool IsStatefulCodePage(CodePage codePage) {
  return codePage == codepage::kHz || codePage == 65000 || (codePage >= 50220 && codePage <= 50229);
}

bool IsPreferredCodePage(CodePage codePage) {
  static constexpr std::array<CodePage, 24> kPreferred = {
      932,   51932, 20932, 50220, 50222, 50221, 10001,         // Japanese
      1200,  1201,  65001, 65000,                              // Unicode
      51936, 54936, 936,   20936, 52936, 50227, 10008,         // Chinese (simplified)
      50950, 950,   20000, 20002, 50229, 10002};               // Chinese (traditional)
  return std::find(kPreferred.begin(), kPreferred.end(), codePage) != kPreferred.end();
}

}  // namespace trawlscope
