#include "support/TempTree.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "platform/files/NativePath.h"

namespace fs = std::filesystem;

namespace trawlscope::test {

TempTree::TempTree() {
  std::string pattern = (fs::temp_directory_path() / "trawlscope-test-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  root_ = pattern;
}

TempTree::~TempTree() {
  // Tests make folders read-only; give the owner back every right so that removal works.
  std::error_code error;
  for (auto it = fs::recursive_directory_iterator(root_, error); it != fs::end(it); it.increment(error)) {
    if (it->is_directory(error) && !it->is_symlink(error)) chmod(it->path().c_str(), 0700);
  }
  chmod(root_.c_str(), 0700);
  fs::remove_all(root_, error);
}

std::string TempTree::Write(std::string_view relative, std::string_view bytes) const {
  const std::string path = Path(relative);
  fs::create_directories(fs::path(path).parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return path;
}

std::string TempTree::MakeFolder(std::string_view relative) const {
  const std::string path = Path(relative);
  fs::create_directories(path);
  return path;
}

std::string TempTree::Read(std::string_view relative) const {
  std::ifstream in(Path(relative), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::u16string U16(std::string_view utf8) { return FromNativePath(utf8); }
std::string U8(std::u16string_view utf16) { return ToNativeBytes(utf16); }

}  // namespace trawlscope::test
