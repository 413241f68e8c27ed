#pragma once
// Between XmlDocument and the module that reads documents with libxml2
// (trawlscope-xml.so): the table of functions the module exports.
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/xml/XmlDocument.h"
#include "platform/modules/ModuleEntry.h"

namespace trawlscope {

struct XmlModuleTable {
  ModuleVersion version;
  std::unique_ptr<XmlDocument> (*parse)(std::string_view bytes);
  std::optional<XPathFault> (*xpathFault)(const std::u16string& xpath);
};

inline constexpr char kXmlModuleFile[] = "trawlscope-xml.so";
inline constexpr char kXmlModuleEntry[] = "trawlscope_xml_module";

}  // namespace trawlscope
