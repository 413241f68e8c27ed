#pragma once
// Real bytes in real encodings, made with ICU at test time from UTF-8 text.
#include <string>
#include <string_view>

namespace trawlscope::test {

// `utf8` in the ICU converter `converterName`; throws when ICU cannot.
std::string Transcode(std::string_view utf8, const char* converterName);

inline constexpr char kJapaneseSentence[] =
    "吾輩は猫である。名前はまだ無い。どこで生れたかとんと見当がつかぬ。何でも薄暗いじめじめした所で"
    "ニャーニャー泣いていた事だけは記憶している。";
inline constexpr char kChineseSentence[] = "中华人民共和国是世界上人口最多的国家之一，首都是北京。";
inline constexpr char kRussianSentence[] =
    "Съешь же ещё этих мягких французских булок, да выпей чаю. Широкая электрификация южных губерний.";
inline constexpr char kFrenchSentence[] =
    "Le cœur déçu mais l'âme plutôt naïve, Louÿs rêva de crapaüter en canoë au delà des îles.";

}  // namespace trawlscope::test
