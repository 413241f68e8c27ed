// The rules' module, trawlscope-git.so: IgnoreRules read by libgit2.
#include <git2.h>
#include <git2/sys/repository.h>

#include "platform/ignore/IgnoreModule.h"
#include "platform/modules/ModuleEntry.h"

namespace trawlscope {
namespace {

// libgit2 counts its users: each set of rules holds it open while it lives.
struct Library {
  Library() { git_libgit2_init(); }
  ~Library() { git_libgit2_shutdown(); }
};

std::string WithSlash(std::string folder) {
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}

struct Repository {
  Library library;
  git_repository* repository = nullptr;
  std::string workTree;  // ends in "/"
  ~Repository() { git_repository_free(repository); }
};

class GitIgnoreRules final : public IgnoreRules {
 public:
  explicit GitIgnoreRules(std::unique_ptr<Repository> repository) : repository_(std::move(repository)) {}
  bool Ignores(const std::string& nativePath) const override;

 private:
  std::unique_ptr<Repository> repository_;
};

std::unique_ptr<IgnoreRules> RulesFor(const std::string& nativeFolder, IgnoreRules::Find find) {
  auto held = std::make_unique<Repository>();
  const unsigned flags = find == IgnoreRules::Find::FolderIsTop ? GIT_REPOSITORY_OPEN_NO_SEARCH : 0;
  if (git_repository_open_ext(&held->repository, nativeFolder.c_str(), flags, nullptr) == 0 &&
      git_repository_workdir(held->repository) != nullptr) {
    held->workTree = WithSlash(git_repository_workdir(held->repository));
  } else {
    // No repository (or a bare one): a repository without storage whose
    // work tree is the folder reads its .gitignore files and nothing else.
    git_repository_free(held->repository);
    held->repository = nullptr;
    held->workTree = WithSlash(nativeFolder);
    if (git_repository_new(&held->repository) != 0 ||
        git_repository_set_workdir(held->repository, held->workTree.c_str(), 0) != 0)
      return nullptr;
  }
  return std::make_unique<GitIgnoreRules>(std::move(held));
}

bool GitIgnoreRules::Ignores(const std::string& nativePath) const {
  const std::string& top = repository_->workTree;
  if (nativePath.size() <= top.size() || nativePath.compare(0, top.size(), top) != 0) return false;
  int ignored = 0;
  // Rules that cannot be read ignore nothing: the file is searched.
  if (git_ignore_path_is_ignored(&ignored, repository_->repository, nativePath.c_str() + top.size()) != 0)
    return false;
  return ignored == 1;
}

constexpr IgnoreModuleTable kTable{{}, RulesFor};

}  // namespace
}  // namespace trawlscope

TRAWLSCOPE_MODULE_ENTRY trawlscope_ignore_module() { return &trawlscope::kTable; }
