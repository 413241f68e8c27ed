#include "platform/archive/CompressedReader.h"

#include "platform/archive/ArchiveModule.h"

#include <cerrno>

#include "platform/modules/OptionalModule.h"

namespace trawlscope {
namespace {

OptionalModule& Module() {
  static OptionalModule module(kArchiveModuleFile, kArchiveModuleEntry);
  return module;
}

}  // namespace

CompressedReader::CompressedReader() = default;
CompressedReader::~CompressedReader() = default;

bool CompressedReader::Open(const std::string& nativePath, CompressedKind kind, size_t memberLimit,
                            FileIdentity* identity) {
  if (!reading_) {
    // Only a run that meets a compressed file loads the libraries that read it.
    const auto* table = static_cast<const ArchiveModuleTable*>(Module().Table());
    if (table == nullptr) {
      missing_ = {ArchiveFault::Kind::ModuleMissing, 0, {}, 0, Module().Problem()};
      return false;
    }
    reading_ = table->makeReading();
  }
  return reading_->Open(nativePath, kind, memberLimit, identity);
}

void CompressedReader::Close() {
  if (reading_) reading_->Close();
}

CompressedReader::Step CompressedReader::Next(ArchiveMember& member) {
  return reading_ ? reading_->Next(member) : Step::Fault;
}

bool CompressedReader::IsCompressed() const { return reading_ && reading_->IsCompressed(); }

CompressedReader::Read CompressedReader::ReadMember(std::string& bytes, size_t headBytes,
                                                    const std::function<bool(std::string_view head)>& wantRest,
                                                    const std::atomic<bool>& abort, size_t most) {
  return reading_ ? reading_->ReadMember(bytes, headBytes, wantRest, abort, most) : Read::Fault;
}

long long CompressedReader::ReadMore(char* into, size_t count) {
  if (!reading_) {
    errno = EIO;
    return -1;
  }
  return reading_->ReadMore(into, count);
}

const ArchiveFault& CompressedReader::Fault() const { return reading_ ? reading_->Fault() : missing_; }

}  // namespace trawlscope
