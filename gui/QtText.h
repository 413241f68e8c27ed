#pragma once
// The engine's UTF-16 strings and Qt's QString hold the same code units.
#include <QString>

#include <string>
#include <string_view>

namespace trawlscope {

inline QString ToQString(std::u16string_view text) {
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::u16string FromQString(const QString& text) { return text.toStdU16String(); }

}  // namespace trawlscope
