#pragma once
// Why one of the program's modules was not loaded, as a value: the words a
// user reads are chosen at the edge (app/OutcomeText.h, the batch tool).
#include <cstdint>
#include <string>

namespace trawlscope {

struct ModuleProblem {
  enum class Kind : std::uint8_t {
    None,
    CannotLoad,    // the loader refused it or found none: `loader` says why, naming the file
    OtherVersion,  // built for another version of the program (or without our entry)
  };
  Kind kind = Kind::None;
  std::string file;    // the module's file name
  std::string loader;  // CannotLoad: the loader's own description (dlerror), as strerror's for a file

  bool operator==(const ModuleProblem&) const = default;
};

}  // namespace trawlscope
