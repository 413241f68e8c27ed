#include "results/EditorCommand.h"

#include <glib.h>

#include <algorithm>

namespace trawlscope {
namespace {

std::string BaseName(const std::string& executable) {
  const auto slash = executable.rfind('/');
  return slash == std::string::npos ? executable : executable.substr(slash + 1);
}

bool OneOf(const std::string& name, std::initializer_list<const char*> names) {
  return std::any_of(names.begin(), names.end(), [&](const char* n) { return name == n; });
}

std::string Substituted(std::string argument, const std::string& file, long long line) {
  std::string out;
  for (size_t i = 0; i < argument.size(); ++i) {
    if (argument[i] == '%' && i + 1 < argument.size() && (argument[i + 1] == 's' || argument[i + 1] == 'd')) {
      out += argument[i + 1] == 's' ? file : std::to_string(line);
      ++i;
    } else {
      out += argument[i];
    }
  }
  return out;
}

}  // namespace

Arguments EditorArguments(const std::string& executable, const std::string& file, long long line) {
  const std::string name = BaseName(executable);
  const std::string number = std::to_string(line);
  if (OneOf(name, {"gedit", "xed", "pluma", "vim", "nvim", "vi", "gvim", "emacs", "geany", "featherpad", "nano"}))
    return {"+" + number, file};
  if (name == "gnome-text-editor") return {file, "+" + number};
  if (OneOf(name, {"kate", "kwrite", "mousepad"})) return {"--line", number, file};
  if (name == "notepadqq") return {"-l", number, file};
  if (OneOf(name, {"code", "codium", "code-oss"})) return {"--goto", file + ":" + number};
  if (OneOf(name, {"subl", "sublime_text"})) return {file + ":" + number};
  return {file};
}

std::optional<Arguments> CommandFromTemplate(const std::string& commandTemplate,
                                             const std::string& file, long long line) {
  gint count = 0;
  gchar** parts = nullptr;
  if (!g_shell_parse_argv(commandTemplate.c_str(), &count, &parts, nullptr)) return std::nullopt;
  Arguments arguments;
  for (gint i = 0; i < count; ++i) arguments.push_back(Substituted(parts[i], file, line));
  g_strfreev(parts);
  return arguments;
}

}  // namespace trawlscope
