#pragma once
// The characters each East Asian language writes most. A short title of
// kanji without kana reads as well in EUC-KR or GB2312 as in EUC-JP, since
// the three pages share their byte structure; what differs is that the true
// reading is made of common characters and the wrong ones of characters
// picked at random from thousands. The lists are the few hundred most used
// characters of each language from general frequency counts.
namespace trawlscope {

enum class HanLanguage { Japanese, SimplifiedChinese, TraditionalChinese };

bool IsCommonHan(char16_t c, HanLanguage language);
bool IsCommonHangul(char16_t c);

}  // namespace trawlscope
