#pragma once
#include <string_view>
namespace trawlscope { bool IsBinaryContent(std::string_view bytes); }
