#pragma once
// Why a replace left a file as it was, when the reason is the file's text
// rather than the file system: a value, worded only where the program meets
// the user.
#include <cstdint>

namespace trawlscope {

enum class ReplaceProblem : std::uint8_t {
  None,
  File,                      // reading or writing it failed: the outcome's FileError says how
  Aborted,                   // the run was aborted while the file was being read
  ExpressionTooComplex,      // the expression library gave up on this file's text
  CodePageCannotHold,        // the replacement holds a character (`character`) the page cannot carry
  EncodingNotRewritable,     // a stateful page whose bytes do not come back the same
  NotOnCharacterBoundary,    // an occurrence begins or ends inside one of the file's characters
  PlacementUncertain,        // the change cannot be placed in the bytes with certainty
  InsideCharacterReference,  // an XML occurrence begins or ends inside a character reference
  CdataCannotHold,           // the replacement holds "]]>" and the text is a CDATA section
  InAttributeValue,          // attribute values are not changed
  UsesDocumentEntities,      // the node's text uses the document's own entities
  DocumentEncodingUnknown,
  SpansChildElement,         // an occurrence crosses a child element's boundary
  NodesOverlap,              // the selected nodes' occurrences overlap
  XPathDoesNotCompile,
  XPathCannotBeEvaluated,
  ChangedSinceSearch,        // a replace of picked hits: the file is not what the search read
  OccurrenceChanged,         // a picked occurrence is no longer there as the search found it
  OccurrencesOverlap,        // picked occurrences overlap one another
  JournalFailed,             // its original could not be kept for undo: the outcome's FileError says how
  JournalFull,               // its original would pass the undo journal's limit
  CompressedReadOnly,        // a compressed file or a member of an archive: never written
  CompressedDamaged,         // the same, and damaged: whether it holds the text cannot be told
};

}  // namespace trawlscope
