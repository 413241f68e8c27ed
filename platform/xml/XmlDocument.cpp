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

std::string XmlDocument::XPathCompileError(const std::u16string& xpath) {
  const XmlModuleTable* table = Table();
  if (table != nullptr) return table->xpathCompileError(xpath);
  // Not reached by a run, which stops first on a module it cannot load.
  const ModuleProblem& problem = Module().Problem();
  return problem.loader.empty() ? problem.file : problem.loader;
}

const ModuleProblem& XmlDocument::LoadModule() { return Module().Problem(); }

}  // namespace trawlscope
