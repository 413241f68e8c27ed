#pragma once
// Between CompressedReader and the module that reads compressed files with
// libarchive and libdeflate (trawlscope-archive.so): the reader's work as
// an interface, and the table of functions the module exports.
#include <memory>

#include "platform/archive/CompressedReader.h"
#include "platform/modules/ModuleEntry.h"

namespace trawlscope {

// What CompressedReader does, as its members say.
class CompressedReader::Reading {
 public:
  virtual ~Reading() = default;
  virtual bool Open(const std::string& nativePath, CompressedKind kind, size_t memberLimit,
                    FileIdentity* identity) = 0;
  virtual void Close() = 0;
  virtual Step Next(ArchiveMember& member) = 0;
  virtual bool IsCompressed() const = 0;
  virtual Read ReadMember(std::string& bytes, size_t headBytes,
                          const std::function<bool(std::string_view head)>& wantRest,
                          const std::atomic<bool>& abort, size_t most) = 0;
  virtual long long ReadMore(char* into, size_t count) = 0;
  virtual const ArchiveFault& Fault() const = 0;
};

struct ArchiveModuleTable {
  ModuleVersion version;
  std::unique_ptr<CompressedReader::Reading> (*makeReading)();
};

inline constexpr char kArchiveModuleFile[] = "trawlscope-archive.so";
inline constexpr char kArchiveModuleEntry[] = "trawlscope_archive_module";

}  // namespace trawlscope
