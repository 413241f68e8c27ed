#include "platform/detectcache/BuildId.h"

#include <elf.h>
#include <link.h>

#include <cstdint>
#include <cstring>

#include "platform/codepage/detection/CodePageDetector.h"

namespace trawlscope {
namespace {

constexpr char kGnuNoteName[] = "GNU";  // with its NUL, as the note stores it

struct Search {
  std::uintptr_t address = 0;
  std::string id;
};

size_t Aligned4(size_t size) { return (size + 3) & ~size_t{3}; }

// The NT_GNU_BUILD_ID note among the notes of one PT_NOTE segment.
std::string BuildIdInNotes(const char* notes, size_t size) {
  size_t at = 0;
  while (at + sizeof(ElfW(Nhdr)) <= size) {
    ElfW(Nhdr) header;
    std::memcpy(&header, notes + at, sizeof header);
    const size_t nameAt = at + sizeof header;
    const size_t descAt = nameAt + Aligned4(header.n_namesz);
    const size_t next = descAt + Aligned4(header.n_descsz);
    if (next > size || next <= at) break;
    if (header.n_type == NT_GNU_BUILD_ID && header.n_namesz == sizeof kGnuNoteName &&
        std::memcmp(notes + nameAt, kGnuNoteName, sizeof kGnuNoteName) == 0)
      return std::string(notes + descAt, header.n_descsz);
    at = next;
  }
  return {};
}

int LookInObject(dl_phdr_info* info, size_t, void* data) {
  auto& search = *static_cast<Search*>(data);
  bool holds = false;
  for (ElfW(Half) i = 0; i < info->dlpi_phnum && !holds; ++i) {
    const ElfW(Phdr)& segment = info->dlpi_phdr[i];
    const std::uintptr_t start = info->dlpi_addr + segment.p_vaddr;
    holds = segment.p_type == PT_LOAD && search.address >= start && search.address < start + segment.p_memsz;
  }
  if (!holds) return 0;
  for (ElfW(Half) i = 0; i < info->dlpi_phnum && search.id.empty(); ++i) {
    const ElfW(Phdr)& segment = info->dlpi_phdr[i];
    if (segment.p_type == PT_NOTE)
      search.id = BuildIdInNotes(reinterpret_cast<const char*>(info->dlpi_addr + segment.p_vaddr), segment.p_memsz);
  }
  return 1;  // the object is found, with or without an id: look no further
}

}  // namespace

std::string BuildIdOf(const void* address) {
  Search search;
  search.address = reinterpret_cast<std::uintptr_t>(address);
  dl_iterate_phdr(LookInObject, &search);
  return search.id;
}

std::string DetectorBuildId() {
  CodePage (*const detector)(std::string_view) = &DetectCodePage;
  return BuildIdOf(reinterpret_cast<const void*>(detector));
}

}  // namespace trawlscope
