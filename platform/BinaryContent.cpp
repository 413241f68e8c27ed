#include "platform/BinaryContent.h"
namespace trawlscope { bool IsBinaryContent(std::string_view bytes) { return bytes.substr(0, 4) == "\x7f" "ELF"; } }
