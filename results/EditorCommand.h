#pragma once
// The argument list that opens a file at a line in a given editor. Never a
// shell line: a path with spaces, quotes or "$(...)" stays one argument.
#include <optional>
#include <string>
#include <vector>

namespace trawlscope {

using Arguments = std::vector<std::string>;

// Arguments after the editor's own name, for the editors whose line syntax
// is known; the file alone for any other.
Arguments EditorArguments(const std::string& executable, const std::string& file, long long line);

// The user's own command from the settings ("%s" the full path, "%d" the
// line), split like a shell would split it but never run by one. Nothing
// when the template cannot be split (an unclosed quote).
std::optional<Arguments> CommandFromTemplate(const std::string& commandTemplate,
                                             const std::string& file, long long line);

}  // namespace trawlscope
