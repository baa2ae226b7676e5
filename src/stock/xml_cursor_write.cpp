// The cursor's own writer for the documents the exporters handle (elements,
// attributes without namespaces, text, comments, processing instructions):
// the same bytes as libxml2's unformatted output, written in one pass over
// the tree instead of through libxml2's escaping and encoding buffers.
// Anything else (namespaces, CDATA, entity references, a DTD, an unknown
// encoding) is left to libxml2 by answering false.
#include <libxml/parserInternals.h>
#include <libxml/tree.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "platform/text.h"
#include "stock/xml_cursor_leave_out.h"
#include "stock/xml_cursor_tree.h"

namespace tarvelon {
namespace {

const char* C(const xmlChar* s) { return reinterpret_cast<const char*>(s); }

// The bytes that stop a run of plain text: what is escaped, and the end.
constexpr std::array<bool, 256> kTextStops = [] {
  std::array<bool, 256> stops{};
  for (unsigned char c : {'<', '>', '&', '\r', '\0'}) stops[c] = true;
  return stops;
}();

// Text content: "<", ">", "&" and CR as libxml2 escapes them.
void AppendEscapedText(std::string& out, const char* s) {
  const char* run = s;
  for (;; ++s) {
    const char c = *s;
    if (!kTextStops[static_cast<unsigned char>(c)]) continue;
    out.append(run, static_cast<size_t>(s - run));
    switch (c) {
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '&': out += "&amp;"; break;
      case '\r': out += "&#13;"; break;
      default: return;
    }
    run = s + 1;
  }
}

// The code point of the UTF-8 sequence at s (advancing s), or -1 when invalid.
long NextCodePoint(const unsigned char*& s) {
  const unsigned char c = *s;
  int extra = (c & 0xE0) == 0xC0 ? 1 : (c & 0xF0) == 0xE0 ? 2 : (c & 0xF8) == 0xF0 ? 3 : -1;
  if (extra < 0) return -1;
  long cp = c & (0x3F >> extra);
  for (int k = 1; k <= extra; ++k) {
    if ((s[k] & 0xC0) != 0x80) return -1;
    cp = (cp << 6) | (s[k] & 0x3F);
  }
  s += extra + 1;
  return cp;
}

// Attribute values; without a declared encoding libxml2 writes every
// non-ASCII character as a hexadecimal character reference.
bool AppendEscapedAttribute(std::string& out, const char* value, bool hexForNonAscii) {
  for (auto s = reinterpret_cast<const unsigned char*>(value); *s;) {
    const unsigned char c = *s;
    switch (c) {
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '&': out += "&amp;"; break;
      case '"': out += "&quot;"; break;
      case '\n': out += "&#10;"; break;
      case '\r': out += "&#13;"; break;
      case '\t': out += "&#9;"; break;
      default:
        if (c >= 0x80 && hexForNonAscii) {
          const long cp = NextCodePoint(s);
          if (cp < 0) return false;
          char ref[24];
          std::snprintf(ref, sizeof ref, "&#x%lX;", cp);
          out += ref;
          continue;
        }
        out += static_cast<char>(c);
    }
    ++s;
  }
  return true;
}

class PlainWriter {
 public:
  PlainWriter(std::string& out, bool hexAttributes) : out_(out), hexAttributes_(hexAttributes) {}
  // Children in `leftOut` (sorted) are written as if deleted. Only the
  // children of their parents are looked up, which are few.
  void LeaveOut(const std::vector<xmlNodePtr>* leftOut) {
    leftOut_ = leftOut;
    parents_.clear();
    for (xmlNodePtr node : *leftOut)
      if (std::find(parents_.begin(), parents_.end(), node->parent) == parents_.end()) parents_.push_back(node->parent);
  }

  bool Node(xmlNodePtr node) {
    switch (node->type) {
      case XML_ELEMENT_NODE: return Element(node);
      case XML_TEXT_NODE:
        if (node->name == xmlStringTextNoenc) return false;
        if (node->content) AppendEscapedText(out_, C(node->content));
        return true;
      case XML_COMMENT_NODE:
        if (node->content) out_.append("<!--").append(C(node->content)).append("-->");
        return true;
      case XML_PI_NODE:
        out_.append("<?").append(C(node->name));
        if (node->content) out_.append(" ").append(C(node->content));
        out_ += "?>";
        return true;
      default: return false;
    }
  }

 private:
  bool Element(xmlNodePtr element) {
    if (element->ns || element->nsDef) return false;
    out_.append("<").append(C(element->name));
    for (xmlAttrPtr a = element->properties; a; a = a->next) {
      if (a->ns) return false;
      xmlNodePtr value = a->children;
      if (value && (value->type != XML_TEXT_NODE || value->next)) return false;
      out_.append(" ").append(C(a->name)).append("=\"");
      if (value && value->content && !AppendEscapedAttribute(out_, C(value->content), hexAttributes_)) return false;
      out_ += '"';
    }
    const bool parentOfLeftOut = leftOut_ && std::find(parents_.begin(), parents_.end(), element) != parents_.end();
    // An element that keeps no child is written empty, as after deleting them.
    xmlNodePtr kept = element->children;
    while (parentOfLeftOut && kept && IsLeftOut(kept)) kept = kept->next;
    if (!kept) {
      out_ += "/>";
      return true;
    }
    out_ += '>';
    for (xmlNodePtr child = kept; child; child = child->next) {
      if (parentOfLeftOut && IsLeftOut(child)) continue;
      if (!Node(child)) return false;
    }
    out_.append("</").append(C(element->name)).append(">");
    return true;
  }

  bool IsLeftOut(xmlNodePtr child) const { return std::binary_search(leftOut_->begin(), leftOut_->end(), child); }

  std::string& out_;
  bool hexAttributes_;
  const std::vector<xmlNodePtr>* leftOut_ = nullptr;
  std::vector<xmlNodePtr> parents_;
};

// Code points of Windows-1252 bytes 0x80..0x9F that exist (0 for the five gaps).
const char32_t kWindows1252High[32] = {0x20AC, 0, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                        0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0, 0x017D, 0,
                                        0, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                        0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0, 0x017E, 0x0178};
// ISO-8859-15 differs from ISO-8859-1 in eight bytes.
const struct {
  unsigned char byte;
  char32_t cp;
} kLatin9[8] = {{0xA4, 0x20AC}, {0xA6, 0x0160}, {0xA8, 0x0161}, {0xB4, 0x017D},
                {0xB8, 0x017E}, {0xBC, 0x0152}, {0xBD, 0x0153}, {0xBE, 0x0178}};

enum class Encoding { kUtf8, kWindows1252, kLatin1, kLatin9, kOther };

Encoding EncodingNamed(const char* name) {
  const std::string n = AnsiUpper(name ? name : "UTF-8");
  if (n == "UTF-8" || n == "UTF8") return Encoding::kUtf8;
  if (n == "WINDOWS-1252" || n == "CP1252") return Encoding::kWindows1252;
  if (n == "ISO-8859-1" || n == "ISO8859-1" || n == "LATIN1") return Encoding::kLatin1;
  if (n == "ISO-8859-15" || n == "ISO8859-15" || n == "LATIN-9") return Encoding::kLatin9;
  return Encoding::kOther;
}

// The byte of a code point in the encoding, or -1 when it has none.
int ByteOf(Encoding e, long cp) {
  if (cp < 0x80) return static_cast<int>(cp);
  switch (e) {
    case Encoding::kWindows1252:
      if (cp >= 0xA0 && cp <= 0xFF) return static_cast<int>(cp);
      for (int i = 0; i < 32; ++i)
        if (kWindows1252High[i] == static_cast<char32_t>(cp)) return 0x80 + i;
      return -1;
    case Encoding::kLatin1: return cp <= 0xFF ? static_cast<int>(cp) : -1;
    case Encoding::kLatin9:
      for (const auto& m : kLatin9) {
        if (m.cp == static_cast<char32_t>(cp)) return m.byte;
        if (m.byte == cp) return -1;
      }
      return cp <= 0xFF ? static_cast<int>(cp) : -1;
    default: return -1;
  }
}

// UTF-8 into a one-byte encoding; a character it lacks becomes a decimal
// character reference, as libxml2's output encoder writes it.
bool EncodeInto(std::string& out, const std::string& utf8, Encoding e) {
  out.reserve(out.size() + utf8.size());
  auto s = reinterpret_cast<const unsigned char*>(utf8.data());
  const auto end = s + utf8.size();
  while (s < end) {
    const unsigned char* run = s;
    // ASCII is copied as it is, eight bytes looked at together.
    for (uint64_t word; end - s >= 8; s += 8) {
      std::memcpy(&word, s, 8);
      if (word & 0x8080808080808080ULL) break;
    }
    while (s < end && *s < 0x80) ++s;
    out.append(reinterpret_cast<const char*>(run), static_cast<size_t>(s - run));
    if (s >= end) break;
    const long cp = NextCodePoint(s);
    if (cp < 0) return false;
    const int byte = ByteOf(e, cp);
    if (byte >= 0) out += static_cast<char>(byte);
    else out += "&#" + std::to_string(cp) + ";";
  }
  return true;
}

bool WriteNodeOnce(std::string& out, xmlNodePtr node, bool hexAttributes) {
  const size_t mark = out.size();
  PlainWriter writer(out, hexAttributes);
  if (writer.Node(node)) return true;
  out.resize(mark);
  return false;
}

}  // namespace

// A node alone is written as libxml2 dumps it: its document's encoding still
// unset when none was declared.
bool WritePlainNode(std::string& out, xmlNodePtr node) {
  return WriteNodeOnce(out, node, node->doc == nullptr || node->doc->encoding == nullptr);
}

bool WritePlainDocument(std::string& out, const XmlTree& tree) {
  const size_t mark = out.size();
  if (tree.hasDeclaration()) out += "<?xml version=\"1.0\"?>\n";
  for (xmlNodePtr child = tree.doc()->children; child; child = child->next) {
    if (!WritePlainNode(out, child)) {
      out.resize(mark);
      return false;
    }
    out += '\n';
  }
  return true;
}

bool WritePlainDocumentLeavingOut(std::string& out, const XmlTree& tree, const std::vector<xmlNodePtr>& leftOut) {
  const size_t mark = out.size();
  xmlDocPtr doc = tree.doc();
  PlainWriter writer(out, doc->encoding == nullptr);
  writer.LeaveOut(&leftOut);
  if (tree.hasDeclaration()) out += "<?xml version=\"1.0\"?>\n";
  for (xmlNodePtr child = doc->children; child; child = child->next) {
    if (!writer.Node(child)) {
      out.resize(mark);
      return false;
    }
    out += '\n';
  }
  return true;
}

bool EncodePlainDocument(std::string& out, const XmlTree& tree) {
  xmlDocPtr doc = tree.doc();
  const char* declared = doc->encoding ? C(doc->encoding) : nullptr;
  const Encoding encoding = EncodingNamed(declared);
  if (encoding == Encoding::kOther || doc->standalone >= 0) return false;
  if (doc->version && std::strcmp(C(doc->version), "1.0") != 0) return false;
  // The declaration as libxml2 writes it: the declared name, quoted as written.
  if (declared && std::strchr(declared, '"')) return false;
  std::string utf8;
  if (tree.hasDeclaration())
    utf8 = declared ? std::string("<?xml version=\"1.0\" encoding=\"") + declared + "\"?>\n" : "<?xml version=\"1.0\"?>\n";
  for (xmlNodePtr child = doc->children; child; child = child->next) {
    // Saving names an encoding (UTF-8 at least) for the time of the write.
    if (!WriteNodeOnce(utf8, child, false)) return false;
    utf8 += '\n';
  }
  return EncodeWrittenText(out, utf8, declared);
}

bool EncodeWrittenText(std::string& out, const std::string& utf8, const char* encodingName) {
  const Encoding encoding = EncodingNamed(encodingName);
  if (encoding == Encoding::kOther) return false;
  if (encoding == Encoding::kUtf8) {
    out += utf8;
    return true;
  }
  const size_t mark = out.size();
  if (EncodeInto(out, utf8, encoding)) return true;
  out.resize(mark);
  return false;
}

}  // namespace tarvelon
