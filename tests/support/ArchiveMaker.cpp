#include "support/ArchiveMaker.h"

#include <archive.h>
#include <archive_entry.h>

#include <filesystem>
#include <stdexcept>

namespace trawlscope::test {
namespace {

void Check(struct archive* archive, int status, const char* step) {
  if (status < ARCHIVE_WARN) {
    const char* why = archive_error_string(archive);
    throw std::runtime_error(std::string(step) + ": " + (why != nullptr ? why : "?"));
  }
}

void Write(const std::string& path, const char* format, const char* filter, const std::vector<MemberBytes>& members,
           const char* passphrase) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  struct archive* archive = archive_write_new();
  Check(archive, archive_write_set_format_by_name(archive, format), "format");
  if (std::string(filter) != "none") Check(archive, archive_write_add_filter_by_name(archive, filter), "filter");
  if (passphrase != nullptr) {
    Check(archive, archive_write_set_options(archive, "zip:encryption=traditional"), "encryption");
    Check(archive, archive_write_set_passphrase(archive, passphrase), "passphrase");
  }
  Check(archive, archive_write_open_filename(archive, path.c_str()), "open");
  for (const MemberBytes& member : members) {
    struct archive_entry* entry = archive_entry_new();
    archive_entry_set_pathname(entry, member.name.c_str());
    archive_entry_set_size(entry, static_cast<la_int64_t>(member.bytes.size()));
    archive_entry_set_filetype(entry, AE_IFREG);
    archive_entry_set_perm(entry, 0644);
    Check(archive, archive_write_header(archive, entry), "header");
    if (archive_write_data(archive, member.bytes.data(), member.bytes.size()) < 0) Check(archive, ARCHIVE_FATAL, "data");
    archive_entry_free(entry);
  }
  Check(archive, archive_write_close(archive), "close");
  archive_write_free(archive);
}

}  // namespace

void WriteArchive(const std::string& path, const char* format, const char* filter,
                  const std::vector<MemberBytes>& members, const char* passphrase) {
  Write(path, format, filter, members, passphrase);
}

void WriteStream(const std::string& path, const char* filter, const std::string& bytes) {
  Write(path, "raw", filter, {{"data", bytes}}, nullptr);
}

}  // namespace trawlscope::test
