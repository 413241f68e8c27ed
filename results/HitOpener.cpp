#include "results/HitOpener.h"

#include <unordered_set>

#include "platform/desktop/EditorLauncher.h"
#include "platform/files/NativePath.h"
#include "results/EditorCommand.h"
#include "search/archive/MemberPath.h"

namespace trawlscope {

bool IsInCompressed(const Hit& hit) { return NamesCompressed(hit.FullPath()); }

std::u16string FileToOpen(const Hit& hit) {
  const std::u16string path = hit.FullPath();
  const auto member = SplitMemberPath(path);
  return member ? std::u16string(member->archive) : path;
}

bool OpenHit(const Hit& hit, const std::string& commandTemplate) {
  const std::string path = ToNativePath(FileToOpen(hit));
  if (IsInCompressed(hit)) {
    const auto program = DefaultProgramFor(path);
    return program && !program->needsTerminal && LaunchDetached({program->executable, path});
  }
  if (!commandTemplate.empty()) {
    const auto command = CommandFromTemplate(commandTemplate, path, hit.line);
    return command && LaunchDetached(*command);
  }
  const auto program = DefaultProgramFor(path);
  if (!program) return false;
  Arguments argv{program->executable};
  for (auto& argument : EditorArguments(program->executable, path, hit.line)) argv.push_back(argument);
  if (program->needsTerminal) {
    if (const auto terminal = FindTerminalEmulator()) argv.insert(argv.begin(), {*terminal, "-e"});
  }
  return LaunchDetached(argv);
}

std::vector<Hit> FirstHitOfEachFile(const std::vector<Hit>& hits) {
  std::vector<Hit> first;
  std::unordered_set<const HitFile*> files;
  for (const Hit& hit : hits)
    if (files.insert(&hit.File()).second) first.push_back(hit);
  return first;
}

}  // namespace trawlscope
