#pragma once
// The INI file behind the settings: "[Section]" lines followed by "key=value"
// lines, UTF-8. Every read parses the file afresh and every write reaches the
// disk at once, atomically; lines the program does not know (other sections,
// other keys, comments) survive every write.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace trawlscope {

struct ProfileValue {
  std::u16string key;
  std::u16string value;
};

// Called on the UI thread only.
class IProfileFile {
 public:
  virtual ~IProfileFile() = default;
  // The value, or nothing when the file, the section or the key is missing.
  virtual std::optional<std::u16string> ReadString(std::u16string_view section,
                                                   std::u16string_view key) const = 0;
  // False when the file could not be written; the file is then as it was.
  virtual bool WriteString(std::u16string_view section, std::u16string_view key,
                           std::u16string_view value) = 0;
  // Several keys of one section together, as one write where the file allows.
  virtual bool WriteStrings(std::u16string_view section, const std::vector<ProfileValue>& values) {
    bool written = true;
    for (const ProfileValue& entry : values) written = WriteString(section, entry.key, entry.value) && written;
    return written;
  }
};

class IniProfileFile final : public IProfileFile {
 public:
  // Values read back are cut to this many UTF-16 units, as a fixed read buffer
  // would, one fewer where the cut would split a surrogate pair.
  static constexpr size_t kMaxValueLength = 4095;

  explicit IniProfileFile(std::string nativePath);

  std::optional<std::u16string> ReadString(std::u16string_view section,
                                           std::u16string_view key) const override;
  bool WriteString(std::u16string_view section, std::u16string_view key,
                   std::u16string_view value) override;
  // One write for all of them, and none when the file already holds them:
  // each write is flushed to the disk, which the UI thread waits for.
  bool WriteStrings(std::u16string_view section, const std::vector<ProfileValue>& values) override;

  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

}  // namespace trawlscope
