#pragma once
// A temporary folder for one test, removed with everything in it afterwards.
#include <string>
#include <string_view>

namespace trawlscope::test {

class TempTree {
 public:
  TempTree();
  ~TempTree();
  TempTree(const TempTree&) = delete;
  TempTree& operator=(const TempTree&) = delete;

  // Absolute native path of the folder, without a trailing "/".
  const std::string& Root() const { return root_; }
  std::string Path(std::string_view relative) const { return root_ + "/" + std::string(relative); }

  // Creates the file (and its folders) with exactly these bytes.
  std::string Write(std::string_view relative, std::string_view bytes = {}) const;
  std::string MakeFolder(std::string_view relative) const;
  std::string Read(std::string_view relative) const;

 private:
  std::string root_;
};

std::u16string U16(std::string_view utf8);
std::string U8(std::u16string_view utf16);

}  // namespace trawlscope::test
