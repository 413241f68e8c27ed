#include "platform/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <system_error>

namespace trawlscope {
namespace {

constexpr mode_t kNewFileMode = 0644;

std::string FolderOfNative(const std::string& path) {
  const auto slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

bool WriteAll(int fd, std::string_view content) {
  while (!content.empty()) {
    const ssize_t written = write(fd, content.data(), content.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    content.remove_prefix(static_cast<size_t>(written));
  }
  return true;
}

void FlushFolder(const std::string& folder) {
  const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
}

mode_t ModeForNewContent(const std::string& path) {
  struct stat old;
  if (stat(path.c_str(), &old) == 0) return old.st_mode & 07777;
  const mode_t mask = umask(0);
  umask(mask);
  return kNewFileMode & ~mask;
}

}  // namespace

bool ReadSmallFile(const std::string& nativePath, std::string& content) {
  content.clear();
  const int fd = open(nativePath.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  char buffer[65536];
  bool ok = true;
  for (;;) {
    const ssize_t got = read(fd, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) ok = false;
    if (got <= 0) break;
    content.append(buffer, static_cast<size_t>(got));
  }
  close(fd);
  return ok;
}

bool ReplaceFileContent(const std::string& nativePath, std::string_view content) {
  const std::string folder = FolderOfNative(nativePath);
  std::error_code ignored;
  std::filesystem::create_directories(folder, ignored);

  std::string temporary = nativePath + ".XXXXXX";
  const int fd = mkstemp(temporary.data());
  if (fd < 0) return false;
  const bool written = WriteAll(fd, content) && fchmod(fd, ModeForNewContent(nativePath)) == 0 &&
                       fsync(fd) == 0;
  const bool closed = close(fd) == 0;
  if (!written || !closed || rename(temporary.c_str(), nativePath.c_str()) != 0) {
    unlink(temporary.c_str());
    return false;
  }
  FlushFolder(folder);
  return true;
}

}  // namespace trawlscope
