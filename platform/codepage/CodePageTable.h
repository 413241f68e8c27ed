#pragma once
// Code pages are named by the platform numbers users and stored files know
// (932 Shift_JIS, 1200 UTF-16 LE, 65001 UTF-8...); ICU converters and the
// detectors speak charset names. This table joins the two.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace trawlscope {

using CodePage = std::uint32_t;

namespace codepage {
inline constexpr CodePage kNone = 0;
inline constexpr CodePage kShiftJis = 932;
inline constexpr CodePage kUtf16Le = 1200;
inline constexpr CodePage kUtf16Be = 1201;
inline constexpr CodePage kUtf32Le = 12000;
inline constexpr CodePage kUtf32Be = 12001;
inline constexpr CodePage kUsAscii = 20127;
inline constexpr CodePage kIso2022Jp = 50220;
inline constexpr CodePage kIso2022JpKana = 50221;
inline constexpr CodePage kIso2022JpAllowKana = 50222;
inline constexpr CodePage kIso2022Kr = 50225;
inline constexpr CodePage kIso2022Cn = 50227;
inline constexpr CodePage kEucJp = 51932;
inline constexpr CodePage kEucKr = 51949;
inline constexpr CodePage kHz = 52936;
inline constexpr CodePage kGb18030 = 54936;
inline constexpr CodePage kUtf8 = 65001;
}  // namespace codepage

// The ICU converter for a code page, or nullptr when there is none.
const char* IcuConverterName(CodePage codePage);

// The page as people know it, its number beside: "Shift_JIS (932)",
// "EUC-JP (51932)", "KOI8-R (20866)"; the number alone for a page not in the table.
std::string CodePageDisplayName(CodePage codePage);

// The pages a user may choose to read files in: each with a converter and a
// name, Japanese, Unicode and Chinese first, as the table lists them.
std::vector<CodePage> ChoosableCodePages();

// A page as a user names it: its number ("932") or a name ("Shift_JIS",
// "euc-jp", case and punctuation ignored); kNone unless it is choosable.
CodePage CodePageOfUserText(std::string_view text);

// The code page of a charset name as ICU's or uchardet's detector reports it
// (case and punctuation ignored); kNone when unknown.
CodePage CodePageOfCharsetName(std::string_view name);

enum class CodePageFamily { Unicode, Japanese, Chinese, Korean, Other };
CodePageFamily FamilyOf(CodePage codePage);

// Pages that switch state with escape sequences (ISO-2022, HZ, UTF-7): one
// character has several byte forms there, and plain ASCII bytes are not
// always plain ASCII text.
bool IsStatefulCodePage(CodePage codePage);

// The Japanese, Chinese and Unicode code pages that win over other candidates
// the detector has real evidence for.
bool IsPreferredCodePage(CodePage codePage);

}  // namespace trawlscope
