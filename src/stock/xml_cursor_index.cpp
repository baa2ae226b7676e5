#include "stock/xml_cursor_index.h"

#include "stock/xml_cursor_tree.h"

#include <libxml/xpathInternals.h>

#include <cmath>
#include <cstring>

namespace tarvelon {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

bool ReadName(const std::string& s, size_t& i, std::string& name) {
  if (i >= s.size() || !IsAsciiNameStart(s[i])) return false;
  size_t start = i;
  while (i < s.size() && IsAsciiNameChar(s[i])) ++i;
  name = s.substr(start, i - start);
  return true;
}

void SkipBlanks(const std::string& s, size_t& i) {
  while (i < s.size() && IsBlank(s[i])) ++i;
}

// An element that XPath's name test `name` matches: no namespace, same name.
bool IsPlainElement(xmlNodePtr node, const char* name) {
  return node->type == XML_ELEMENT_NODE && node->ns == nullptr &&
         std::strcmp(reinterpret_cast<const char*>(node->name), name) == 0;
}

std::string KeyOf(const ChildEqualityPath& path) {
  std::string key;
  for (const auto& step : path.steps) key += "/" + step;
  key += path.numeric ? "#" : "$";
  key += path.child;
  return key;
}

}  // namespace

bool ParseChildEqualityPath(const std::string& s, ChildEqualityPath& out) {
  out = ChildEqualityPath();
  size_t i = 0;
  SkipBlanks(s, i);
  while (i < s.size() && s[i] == '/') {
    ++i;
    std::string name;
    if (!ReadName(s, i, name)) return false;
    out.steps.push_back(name);
  }
  if (out.steps.empty()) return false;
  SkipBlanks(s, i);
  if (i == s.size()) return true;
  if (s[i] != '[') return false;
  ++i;
  SkipBlanks(s, i);
  if (!ReadName(s, i, out.child)) return false;
  SkipBlanks(s, i);
  if (i >= s.size() || s[i] != '=') return false;
  ++i;
  SkipBlanks(s, i);
  if (i >= s.size()) return false;
  if (s[i] == '\'' || s[i] == '"') {
    char quote = s[i++];
    size_t end = s.find(quote, i);
    if (end == std::string::npos) return false;
    out.text = s.substr(i, end - i);
    i = end + 1;
  } else {
    // Whole numbers only: decimal literals go to the engine, so that both
    // sides of the comparison are always read by the same routine.
    size_t start = i;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i;
    if (i == start || i - start > 15) return false;
    std::string digits = s.substr(start, i - start);
    out.numeric = true;
    out.number = xmlXPathStringEvalNumber(reinterpret_cast<const xmlChar*>(digits.c_str()));
  }
  SkipBlanks(s, i);
  if (i >= s.size() || s[i] != ']') return false;
  ++i;
  SkipBlanks(s, i);
  return i == s.size();
}

std::vector<xmlNodePtr> WalkPath(xmlDocPtr doc, const std::vector<std::string>& steps) {
  std::vector<xmlNodePtr> level{reinterpret_cast<xmlNodePtr>(doc)};
  for (const auto& step : steps) {
    std::vector<xmlNodePtr> next;
    for (xmlNodePtr parent : level)
      for (xmlNodePtr child = parent->children; child; child = child->next)
        if (IsPlainElement(child, step.c_str())) next.push_back(child);
    level.swap(next);
    if (level.empty()) break;
  }
  return level;
}

struct XmlLookupIndex::Table {
  std::vector<std::string> steps;
  std::string child;
  std::unordered_map<double, std::vector<xmlNodePtr>> byNumber;
  std::unordered_map<std::string, std::vector<xmlNodePtr>> byText;
};

XmlLookupIndex::XmlLookupIndex() = default;
XmlLookupIndex::~XmlLookupIndex() = default;

const std::vector<xmlNodePtr>& XmlLookupIndex::Lookup(xmlDocPtr doc, const ChildEqualityPath& path) {
  static const std::vector<xmlNodePtr> kNone;
  std::string key = KeyOf(path);
  auto found = tables_.find(key);
  if (found == tables_.end()) {
    auto table = std::make_unique<Table>();
    table->steps = path.steps;
    table->child = path.child;
    for (xmlNodePtr record : WalkPath(doc, path.steps)) {
      for (xmlNodePtr child = record->children; child; child = child->next) {
        if (!IsPlainElement(child, path.child.c_str())) continue;
        std::string value = TextOfNode(child);
        std::vector<xmlNodePtr>* bucket;
        if (path.numeric) {
          double number = xmlXPathStringEvalNumber(reinterpret_cast<const xmlChar*>(value.c_str()));
          if (std::isnan(number)) continue;
          if (number == 0) number = 0;  // -0 and 0 are one key
          bucket = &table->byNumber[number];
        } else {
          bucket = &table->byText[value];
        }
        // A record with two equal children is listed once.
        if (bucket->empty() || bucket->back() != record) bucket->push_back(record);
      }
    }
    ++builds_;
    found = tables_.emplace(key, std::move(table)).first;
  }
  const Table& table = *found->second;
  if (path.numeric) {
    double number = path.number == 0 ? 0 : path.number;
    auto hit = table.byNumber.find(number);
    return hit == table.byNumber.end() ? kNone : hit->second;
  }
  auto hit = table.byText.find(path.text);
  return hit == table.byText.end() ? kNone : hit->second;
}

const std::vector<xmlNodePtr>* XmlLookupIndex::LookupText(xmlDocPtr doc, const std::string& records,
                                                          const std::string& child, const std::string& text) {
  std::string key;
  key.reserve(records.size() + 1 + child.size());
  key.append(records).append(1, '$').append(child);
  auto found = tables_.find(key);
  if (found == tables_.end()) {
    ChildEqualityPath path;
    if (!ParseChildEqualityPath(records, path) || !path.child.empty()) return nullptr;
    path.child = child;
    path.text = text;
    // A path written with blanks is kept under its plain form.
    if (KeyOf(path) != key) return &Lookup(doc, path);
    Lookup(doc, path);
    found = tables_.find(key);
  }
  static const std::vector<xmlNodePtr> kNone;
  const auto& byText = found->second->byText;
  auto hit = byText.find(text);
  return hit == byText.end() ? &kNone : &hit->second;
}

XmlLookupIndex::Answers* XmlLookupIndex::AnswersFor(const std::string& records, const std::string& child,
                                                    const std::string& wanted) {
  for (auto& table : answers_)
    if (table->records == records && table->child == child && table->wanted == wanted) return &table->answers;
  ChildEqualityPath path;
  if (!ParseChildEqualityPath(records, path) || !path.child.empty()) return nullptr;
  auto table = std::make_unique<AnswerTable>();
  table->records = records;
  table->child = child;
  table->wanted = wanted;
  table->steps = std::move(path.steps);
  answers_.push_back(std::move(table));
  return &answers_.back()->answers;
}

// The node (its element names from the root element down, in `chain` from
// the node up) is an element on the path or anything inside one of its records.
bool XmlLookupIndex::OnOrInside(const std::vector<std::string>& steps, const char* const* chain, size_t depth) {
  // From the deepest step up: the names near the root are the same for every path.
  for (size_t i = depth < steps.size() ? depth : steps.size(); i-- > 0;)
    if (std::strcmp(steps[i].c_str(), chain[depth - 1 - i]) != 0) return false;
  return true;
}

void XmlLookupIndex::Touched(xmlNodePtr node) {
  if ((tables_.empty() && answers_.empty()) || !node || node->type == XML_ATTRIBUTE_NODE) return;
  // Element names from the root element down to the node (the node included
  // when it is an element); nothing to do for a node outside the tree.
  // Held on the stack: this runs for every value the exporters write.
  constexpr size_t kDeepest = 32;
  const char* chain[kDeepest];
  size_t depth = 0;
  bool attached = false;
  for (xmlNodePtr n = node; n; n = n->parent) {
    if (n->type == XML_DOCUMENT_NODE) {
      attached = true;
      break;
    }
    if (n->type == XML_ELEMENT_NODE) {
      if (depth == kDeepest) {  // deeper than any record: forget everything
        tables_.clear();
        answers_.clear();
        return;
      }
      chain[depth++] = reinterpret_cast<const char*>(n->name);
    } else if (n != node) {
      return;  // inside an entity declaration or an attribute
    }
  }
  if (!attached) return;
  const bool element = node->type == XML_ELEMENT_NODE;
  // An answer may read anything inside a record: a text between the records
  // is the only change that keeps it.
  for (auto it = answers_.begin(); it != answers_.end();) {
    const size_t n = (*it)->steps.size();
    const bool affected = (element || depth >= n) && OnOrInside((*it)->steps, chain, depth);
    if (affected) it = answers_.erase(it);
    else ++it;
  }
  // The names compared from the deepest up, the key child first: the one
  // that tells most tables apart from what the exporters write.
  auto same = [&](const std::string& name, size_t i) { return std::strcmp(name.c_str(), chain[depth - 1 - i]) == 0; };

  for (auto it = tables_.begin(); it != tables_.end();) {
    const Table& table = *it->second;
    const size_t n = table.steps.size();
    bool affected = true;
    if (element && depth <= n) {
      // An element on the path itself: the set of records may change.
      for (size_t i = depth; i-- > 0 && affected;) affected = same(table.steps[i], i);
    } else if (depth >= n + 1) {
      // A key child of a record, or anything inside one.
      affected = same(table.child, n);
      for (size_t i = n; i-- > 0 && affected;) affected = same(table.steps[i], i);
    } else {
      affected = false;  // text or comments between the records
    }
    if (affected) it = tables_.erase(it);
    else ++it;
  }
}

}  // namespace tarvelon
