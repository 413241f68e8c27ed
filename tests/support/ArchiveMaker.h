#pragma once
// Real compressed files and archives, written at test time with libarchive's
// writer from the bytes a test gives.
#include <string>
#include <vector>

namespace trawlscope::test {

struct MemberBytes {
  std::string name;
  std::string bytes;
};

// An archive in libarchive's `format` ("zip", "7zip", "ustar") through
// `filter` ("none", "gzip", "xz", "bzip2", "zstd", "lz4"); with a
// passphrase, a zip's members are encrypted. Throws when libarchive cannot.
void WriteArchive(const std::string& path, const char* format, const char* filter,
                  const std::vector<MemberBytes>& members, const char* passphrase = nullptr);

// One compressed stream of `bytes`, as gzip or xz write a file.
void WriteStream(const std::string& path, const char* filter, const std::string& bytes);

}  // namespace trawlscope::test
