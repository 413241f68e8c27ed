#pragma once
// Git's own ignore rules for a folder, by libgit2: the .gitignore files from
// the top of its work tree down, and for a folder inside a repository also
// that repository's .git/info/exclude and the user's core.excludesFile. A
// folder no repository holds is read as the top of a work tree of its own,
// so that an unpacked copy of a project still follows its .gitignore files.
// libgit2 is loaded with the rules' module the first time rules are asked
// for. One thread at a time.
#include <memory>
#include <string>

#include "platform/modules/ModuleProblem.h"

namespace trawlscope {

class IgnoreRules {
 public:
  enum class Find : unsigned char {
    HoldingRepository,  // the repository the folder is in, looked for upwards
    FolderIsTop,        // the folder holds a repository of its own (a ".git"), or stands alone
  };
  // Null when libgit2 cannot read the rules at all, or its module cannot
  // be loaded (LoadModule() says why).
  static std::unique_ptr<IgnoreRules> For(const std::string& nativeFolder, Find find);
  // Why the rules' module does not load; of kind None when it does. Loads
  // it when it is not loaded yet.
  static const ModuleProblem& LoadModule();

  IgnoreRules() = default;
  virtual ~IgnoreRules() = default;
  IgnoreRules(const IgnoreRules&) = delete;
  IgnoreRules& operator=(const IgnoreRules&) = delete;

  // `nativePath` is absolute, below the folder the rules were made for; a
  // folder's path ends in "/".
  virtual bool Ignores(const std::string& nativePath) const = 0;
};

}  // namespace trawlscope
