#pragma once
// Look-ups of records by the value of one child, without the XPath engine.
// The exporters select "/document/LiensImagesS/LiensImages[idVO=N]" once per
// vehicle and "/document/DataVOS/DataVO[idVO=N]" once per photo link; libxml2
// walks the whole list for each of them. An index per (path, child) answers
// in constant time and gives exactly the node set that XPath gives.
#include <libxml/tree.h>

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace tarvelon {

// "/a/b/C" alone, or followed by "[k=123]" (digits: a number comparison) or
// "[k='text']" / "[k=\"text\"]" (an exact string comparison). Names are plain
// names without prefix.
struct ChildEqualityPath {
  std::vector<std::string> steps;  // element names from the root
  std::string child;               // empty: no predicate
  bool numeric = false;
  double number = 0;
  std::string text;  // UTF-8
};

// True when the expression (UTF-8) has one of the shapes above.
bool ParseChildEqualityPath(const std::string& expression, ChildEqualityPath& out);

// The names the cursor's shortcuts take as they stand: ASCII, a letter or
// "_" first, then letters, digits, "_", "-" and ".". Any other name goes
// through the library.
inline bool IsAsciiNameStart(unsigned char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
inline bool IsAsciiNameChar(unsigned char c) {
  return IsAsciiNameStart(c) || (c >= '0' && c <= '9') || c == '-' || c == '.';
}

// The elements that the steps reach from the document node, in document order.
std::vector<xmlNodePtr> WalkPath(xmlDocPtr doc, const std::vector<std::string>& steps);

class XmlLookupIndex {
 public:
  XmlLookupIndex();
  ~XmlLookupIndex();

  // The records whose child equals the wanted value, in document order.
  const std::vector<xmlNodePtr>& Lookup(xmlDocPtr doc, const ChildEqualityPath& path);

  // The same for records under `records` (UTF-8, "/a/b/C") whose child
  // `child` has exactly the text `text`, the table found by the path as
  // written, without parsing it again; nullptr when `records` is no such path.
  const std::vector<xmlNodePtr>* LookupText(xmlDocPtr doc, const std::string& records, const std::string& child,
                                            const std::string& text);

  // A node was linked, is about to be unlinked, or had the text below it
  // changed: forget every index whose records or key values it may change.
  void Touched(xmlNodePtr node);

  int builds() const { return builds_; }  // how many indexes were built so far

  // Answers a caller derives from the records under `records` ("/a/b/C",
  // Windows-1252 or UTF-8 alike: plain names are ASCII) by their child
  // `child`, naming their child `wanted`: kept until anything on the path or
  // inside a record changes. nullptr when `records` is no such path.
  using Answers = std::unordered_map<std::string, std::string>;
  Answers* AnswersFor(const std::string& records, const std::string& child, const std::string& wanted);

 private:
  struct Table;
  struct AnswerTable {
    std::string records, child, wanted;
    std::vector<std::string> steps;
    Answers answers;
  };
  static bool OnOrInside(const std::vector<std::string>& steps, const char* const* chain, size_t depth);
  std::unordered_map<std::string, std::unique_ptr<Table>> tables_;
  std::vector<std::unique_ptr<AnswerTable>> answers_;  // a handful: looked along
  int builds_ = 0;
};

}  // namespace tarvelon
