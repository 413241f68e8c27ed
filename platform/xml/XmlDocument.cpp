#include "platform/xml/XmlDocument.h"

#include "platform/modules/OptionalModule.h"
#include "platform/xml/XmlModule.h"

namespace trawlscope {
namespace {

OptionalModule& Module() {
  static OptionalModule module(kXmlModuleFile, kXmlModuleEntry);
  return module;
}

const XmlModuleTable* Table() { return static_cast<const XmlModuleTable*>(Module().Table()); }

}  // namespace

std::unique_ptr<XmlDocument> XmlDocument::Parse(std::string_view bytes) {
  const XmlModuleTable* table = Table();
  return table != nullptr ? table->parse(bytes) : nullptr;
}

std::optional<XPathFault> XmlDocument::XPathFaultOf(const std::u16string& xpath) {
  const XmlModuleTable* table = Table();
  // Not reached by a run, which stops first on a module it cannot load.
  if (table == nullptr) return XPathFault{};
  return table->xpathFault(xpath);
}

const ModuleProblem& XmlDocument::LoadModule() { return Module().Problem(); }

}  // namespace trawlscope
