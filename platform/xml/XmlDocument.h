#pragma once
// An XML document parsed with libxml2 for XPath selection, and nothing more:
// parsing never reaches the network or any file (no external entities, no
// external DTD, no XInclude), keeps the library's limits against entity
// expansion bombs, and says nothing on stderr. libxml2 is loaded with the
// documents' module the first time a document or an XPath is read. Worker thread.
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/modules/ModuleProblem.h"

namespace trawlscope {

// Why an XPath does not compile, as libxml2 tells it; the words around it
// are chosen where the program meets the user.
struct XPathFault {
  int code = 0;            // libxml2's error number (XPATH_EXPR_ERROR...); 0 when it gave none
  std::string message;     // libxml2's own description, as strerror's is the system's
  int position = -1;       // where in `expression` it was found (0-based), -1 when not told
  std::string expression;  // as libxml2 read it (UTF-8)
};

class XmlDocument {
 public:
  // Nothing when the bytes are not a well-formed document, or the module
  // cannot be loaded (LoadModule() says why).
  static std::unique_ptr<XmlDocument> Parse(std::string_view bytes);
  virtual ~XmlDocument() = default;
  XmlDocument(const XmlDocument&) = delete;
  XmlDocument& operator=(const XmlDocument&) = delete;

  // Why the documents' module does not load; of kind None when it does.
  // Loads it when it is not loaded yet.
  static const ModuleProblem& LoadModule();

  // The document's declared encoding ("Shift_JIS"), empty when none is declared.
  virtual std::string DeclaredEncoding() const = 0;

  struct SelectedNode {
    bool qualifies = false;      // has a first child, and that child is a text node
    bool isAttribute = false;
    std::u16string text;         // the node's and its descendants' character data
    std::vector<size_t> textRuns;  // its text and CDATA descendants, as indices into TextRuns()
    bool holdsEntityReference = false;
  };
  // The nodes the expression selects over the whole document, in the order
  // the selection returns them; nothing when the expression cannot be
  // compiled or evaluated (an unbound prefix, a syntax error).
  virtual std::optional<std::vector<SelectedNode>> Select(const std::u16string& xpath) const = 0;

  // The fault libxml2 finds in `xpath`: none when it compiles. When the
  // module cannot be loaded (LoadModule() says why), a fault it told nothing of.
  static std::optional<XPathFault> XPathFaultOf(const std::u16string& xpath);

  struct TextRun {
    bool isCdata = false;
    std::u16string text;
  };
  // Every text and CDATA node inside the root element, in document order.
  const std::vector<TextRun>& TextRuns() const { return runs_; }

 protected:
  XmlDocument() = default;
  std::vector<TextRun> runs_;
};

}  // namespace trawlscope
