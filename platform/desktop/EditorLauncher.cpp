#include "platform/desktop/EditorLauncher.h"

#include <gio/gdesktopappinfo.h>
#include <gio/gio.h>

#include <memory>

namespace trawlscope {
namespace {

template <typename T>
struct GObjectDeleter {
  void operator()(T* object) const {
    if (object != nullptr) g_object_unref(object);
  }
};
template <typename T>
using GObjectPtr = std::unique_ptr<T, GObjectDeleter<T>>;

struct GFreeDeleter {
  void operator()(gchar* text) const { g_free(text); }
};

}  // namespace

std::optional<AssociatedProgram> DefaultProgramFor(const std::string& nativePath) {
  GObjectPtr<GFile> file(g_file_new_for_path(nativePath.c_str()));
  GObjectPtr<GFileInfo> info(g_file_query_info(file.get(), G_FILE_ATTRIBUTE_STANDARD_CONTENT_TYPE,
                                               G_FILE_QUERY_INFO_NONE, nullptr, nullptr));
  const char* contentType = info ? g_file_info_get_content_type(info.get()) : nullptr;
  if (contentType == nullptr) return std::nullopt;
  GObjectPtr<GAppInfo> app(g_app_info_get_default_for_type(contentType, FALSE));
  if (!app && g_content_type_is_a(contentType, "text/plain") == FALSE)
    app.reset(g_app_info_get_default_for_type("text/plain", FALSE));
  if (!app) return std::nullopt;
  const char* executable = g_app_info_get_executable(app.get());
  if (executable == nullptr || *executable == '\0') return std::nullopt;
  AssociatedProgram program{executable, false};
  if (G_IS_DESKTOP_APP_INFO(app.get()))
    program.needsTerminal = g_desktop_app_info_get_boolean(G_DESKTOP_APP_INFO(app.get()), "Terminal");
  return program;
}

std::optional<std::string> FindTerminalEmulator() {
  for (const char* name : {"x-terminal-emulator", "gnome-terminal", "konsole", "xfce4-terminal",
                           "mate-terminal", "lxterminal", "xterm"}) {
    std::unique_ptr<gchar, GFreeDeleter> found(g_find_program_in_path(name));
    if (found) return std::string(found.get());
  }
  return std::nullopt;
}

bool LaunchDetached(const std::vector<std::string>& argv) {
  if (argv.empty()) return false;
  std::vector<gchar*> pointers;
  for (const auto& argument : argv) pointers.push_back(const_cast<gchar*>(argument.c_str()));
  pointers.push_back(nullptr);
  // Without G_SPAWN_DO_NOT_REAP_CHILD GLib double-forks: the editor is
  // reparented and never becomes our zombie.
  return g_spawn_async(nullptr, pointers.data(), nullptr, G_SPAWN_SEARCH_PATH, nullptr, nullptr,
                       nullptr, nullptr) == TRUE;
}

}  // namespace trawlscope
