#include "platform/ini/ProfileFile.h"

#include "platform/files/FileReader.h"
#include "platform/ini/IniText.h"
#include "platform/files/NativePath.h"
#include "platform/files/SafeFileWriter.h"

#include <filesystem>

#include <unicode/utf16.h>
#include <unistd.h>

namespace trawlscope {

IniProfileFile::IniProfileFile(std::string nativePath) : path_(std::move(nativePath)) {}

std::optional<std::u16string> IniProfileFile::ReadString(std::u16string_view section,
                                                         std::u16string_view key) const {
  std::string text;
  if (!ReadWholeFile(path_, text)) return std::nullopt;
  const auto value = FindIniValue(text, ToNativeBytes(section), ToNativeBytes(key));
  if (!value) return std::nullopt;
  std::u16string decoded = FromNativePath(*value);
  // Never after the first half of a pair: a lone lead surrogate is no text to show or to write back.
  if (decoded.size() > kMaxValueLength)
    decoded.resize(U16_IS_LEAD(decoded[kMaxValueLength - 1]) ? kMaxValueLength - 1 : kMaxValueLength);
  return decoded;
}

bool IniProfileFile::WriteString(std::u16string_view section, std::u16string_view key,
                                 std::u16string_view value) {
  return WriteStrings(section, {{std::u16string(key), std::u16string(value)}});
}

bool IniProfileFile::WriteStrings(std::u16string_view section, const std::vector<ProfileValue>& values) {
  std::string text;
  // A missing file is an empty one; an unreadable one must not be replaced by
  // a file holding only this key.
  if (!ReadWholeFile(path_, text) && access(path_.c_str(), F_OK) == 0) return false;
  // The user's configuration folder may not exist yet on a first start.
  std::string changed = text;
  const std::string nativeSection = ToNativeBytes(section);
  for (const ProfileValue& entry : values)
    changed = SetIniValue(changed, nativeSection, ToNativeBytes(entry.key), ToNativeBytes(entry.value));
  if (changed == text && access(path_.c_str(), F_OK) == 0) return true;
  std::error_code ignored;
  std::filesystem::create_directories(std::filesystem::path(path_).parent_path(), ignored);
  return WriteWholeFile(path_, changed).Ok();
}

}  // namespace trawlscope
