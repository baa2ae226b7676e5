#pragma once
// Inside the XML cursor: writing a document as it would be with some nodes
// deleted, without copying or changing it (see IXMLCursor::GetXMLLeavingOut).
#include <libxml/tree.h>

#include <string>
#include <vector>

#include "stock/xml_cursor_tree.h"

namespace tarvelon {

// True when SettleAsReloaded would answer true and change nothing: a copy of
// the tree is then already what reading its saved file would give.
bool IsSettledAsReloaded(const XmlTree& tree);

// WritePlainDocument with the nodes of `leftOut` (sorted) and their
// subtrees left out; false, `out` as it was, for what only libxml2 writes.
bool WritePlainDocumentLeavingOut(std::string& out, const XmlTree& tree, const std::vector<xmlNodePtr>& leftOut,
                                  WrittenIn in = WrittenIn::kUtf8);

}  // namespace tarvelon
