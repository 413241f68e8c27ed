#include "platform/desktop/FolderOpener.h"

#include <gio/gio.h>

namespace trawlscope {

bool OpenFolderInFileManager(const std::string& nativeFolder) {
  // g_filename_to_uri escapes every byte a URI cannot carry as it is.
  gchar* uri = g_filename_to_uri(nativeFolder.c_str(), nullptr, nullptr);
  if (uri == nullptr) return false;
  const gboolean launched = g_app_info_launch_default_for_uri(uri, nullptr, nullptr);
  g_free(uri);
  return launched != FALSE;
}

}  // namespace trawlscope
