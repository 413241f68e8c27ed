// The documents' module, trawlscope-xml.so: XmlDocument read by libxml2.
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xpath.h>

#include <map>
#include <mutex>

#include "platform/files/NativePath.h"
#include "platform/modules/ModuleEntry.h"
#include "platform/xml/XmlModule.h"

namespace trawlscope {
namespace {

// Refuses every external resource, file:// included: the no-network option
// alone does not stop a local file from being read through an entity.
xmlParserInputPtr RefuseExternalEntity(const char*, const char*, xmlParserCtxtPtr) { return nullptr; }

void IgnoreGenericError(void*, const char*, ...) {}
void IgnoreStructuredError(void*, xmlErrorPtr) {}

void InstallGuards() {
  static std::once_flag once;
  std::call_once(once, [] {
    xmlInitParser();
    xmlSetExternalEntityLoader(RefuseExternalEntity);
  });
  // The error handlers are kept per thread by libxml2.
  xmlSetGenericErrorFunc(nullptr, IgnoreGenericError);
  xmlSetStructuredErrorFunc(nullptr, IgnoreStructuredError);
}

// Collects the message of the last error libxml2 raised on this thread.
void KeepStructuredError(void* into, xmlErrorPtr error) {
  if (error == nullptr || error->message == nullptr) return;
  XPathFault& fault = *static_cast<XPathFault*>(into);
  fault.code = error->code;
  fault.message = error->message;
  while (!fault.message.empty() && (fault.message.back() == '\n' || fault.message.back() == ' '))
    fault.message.pop_back();
  fault.position = error->str1 != nullptr && error->int1 >= 0 ? error->int1 : -1;
  fault.expression = error->str1 != nullptr ? error->str1 : "";
}

std::u16string FromXml(const xmlChar* text) {
  return text ? FromNativePath(reinterpret_cast<const char*>(text)) : std::u16string();
}

std::u16string ContentOf(xmlNodePtr node) {
  xmlChar* content = xmlNodeGetContent(node);
  std::u16string text = FromXml(content);
  xmlFree(content);
  return text;
}

bool IsTextRun(xmlNodePtr node) {
  return node->type == XML_TEXT_NODE || node->type == XML_CDATA_SECTION_NODE;
}

class LibxmlDocument final : public XmlDocument {
 public:
  explicit LibxmlDocument(xmlDocPtr doc) : doc_(doc) {}
  ~LibxmlDocument() override { xmlFreeDoc(doc_); }
  std::string DeclaredEncoding() const override;
  std::optional<std::vector<SelectedNode>> Select(const std::u16string& xpath) const override;

  // The text runs in document order, each indexed by its node.
  void CollectTextRuns();

 private:
  xmlDocPtr doc_;
  std::map<xmlNodePtr, size_t> runIndex_;  // text node -> its index in runs_
};

std::unique_ptr<XmlDocument> Parse(std::string_view bytes) {
  InstallGuards();
  // No NOENT, DTDLOAD, XINCLUDE, HUGE or RECOVER: entities stay references,
  // nothing outside the document is read, the default limits hold, and a
  // broken document is an error.
  constexpr int kOptions = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING;
  xmlDocPtr doc = xmlReadMemory(bytes.data(), static_cast<int>(bytes.size()), nullptr, nullptr, kOptions);
  if (doc == nullptr || xmlDocGetRootElement(doc) == nullptr) {
    if (doc) xmlFreeDoc(doc);
    return nullptr;
  }
  auto document = std::make_unique<LibxmlDocument>(doc);
  document->CollectTextRuns();
  return document;
}

void LibxmlDocument::CollectTextRuns() {
  // Document order, depth first: the order the text stands in the source.
  std::vector<xmlNodePtr> stack{xmlDocGetRootElement(doc_)};
  while (!stack.empty()) {
    xmlNodePtr node = stack.back();
    stack.pop_back();
    if (IsTextRun(node)) {
      runIndex_[node] = runs_.size();
      runs_.push_back({node->type == XML_CDATA_SECTION_NODE, FromXml(node->content)});
      continue;
    }
    if (node->type != XML_ELEMENT_NODE) continue;
    std::vector<xmlNodePtr> children;
    for (xmlNodePtr child = node->children; child; child = child->next) children.push_back(child);
    for (auto it = children.rbegin(); it != children.rend(); ++it) stack.push_back(*it);
  }
}

std::string LibxmlDocument::DeclaredEncoding() const {
  return doc_->encoding ? reinterpret_cast<const char*>(doc_->encoding) : "";
}

std::optional<XPathFault> XPathFaultOf(const std::u16string& xpath) {
  InstallGuards();
  XPathFault fault;
  xmlSetStructuredErrorFunc(&fault, KeepStructuredError);
  const std::string expression = ToNativeBytes(xpath);
  xmlXPathCompExprPtr compiled = xmlXPathCompile(reinterpret_cast<const xmlChar*>(expression.c_str()));
  xmlSetStructuredErrorFunc(nullptr, IgnoreStructuredError);
  if (compiled != nullptr) {
    xmlXPathFreeCompExpr(compiled);
    return std::nullopt;
  }
  return fault;
}

std::optional<std::vector<XmlDocument::SelectedNode>> LibxmlDocument::Select(const std::u16string& xpath) const {
  InstallGuards();
  xmlXPathContextPtr context = xmlXPathNewContext(doc_);
  if (context == nullptr) return std::nullopt;
  const std::string expression = ToNativeBytes(xpath);
  xmlXPathObjectPtr result = xmlXPathEvalExpression(reinterpret_cast<const xmlChar*>(expression.c_str()), context);
  xmlXPathFreeContext(context);
  if (result == nullptr) return std::nullopt;
  std::vector<SelectedNode> selected;
  if (result->type == XPATH_NODESET && result->nodesetval != nullptr) {
    for (int i = 0; i < result->nodesetval->nodeNr; ++i) {
      xmlNodePtr node = result->nodesetval->nodeTab[i];
      SelectedNode entry;
      entry.isAttribute = node->type == XML_ATTRIBUTE_NODE;
      entry.qualifies = node->children != nullptr && node->children->type == XML_TEXT_NODE;
      if (entry.qualifies) {
        entry.text = ContentOf(node);
        std::vector<xmlNodePtr> stack{node};
        while (!stack.empty()) {
          xmlNodePtr n = stack.back();
          stack.pop_back();
          if (n->type == XML_ENTITY_REF_NODE) entry.holdsEntityReference = true;
          if (IsTextRun(n)) {
            const auto found = runIndex_.find(n);
            if (found != runIndex_.end()) entry.textRuns.push_back(found->second);
            continue;
          }
          if (n->type != XML_ELEMENT_NODE && n->type != XML_ATTRIBUTE_NODE) continue;
          std::vector<xmlNodePtr> children;
          for (xmlNodePtr child = n->children; child; child = child->next) children.push_back(child);
          for (auto it = children.rbegin(); it != children.rend(); ++it) stack.push_back(*it);
        }
      }
      selected.push_back(std::move(entry));
    }
  }
  // Expressions that give a number, a string or a boolean select no node.
  xmlXPathFreeObject(result);
  return selected;
}

constexpr XmlModuleTable kTable{{}, Parse, XPathFaultOf};

}  // namespace
}  // namespace trawlscope

TRAWLSCOPE_MODULE_ENTRY trawlscope_xml_module() { return &trawlscope::kTable; }
