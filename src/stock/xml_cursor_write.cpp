// The cursor's own writer for the documents the exporters handle (elements,
// attributes without namespaces, text, comments, processing instructions):
// the same bytes as libxml2's unformatted output, written in one pass over
// the tree instead of through libxml2's escaping and encoding buffers.
// Anything else (namespaces, CDATA, entity references, a DTD, an unknown
// encoding) is left to libxml2 by answering false.
//
// The one-byte encodings are written straight from the tree, not from a
// UTF-8 text converted afterwards, and so is GetXML's Windows-1252.
#include <libxml/parserInternals.h>
#include <libxml/tree.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

#include "platform/text.h"
#include "stock/xml_cursor_leave_out.h"
#include "stock/xml_cursor_tree.h"

namespace tarvelon {
namespace {

const char* C(const xmlChar* s) { return reinterpret_cast<const char*>(s); }

// What the bytes are written in. The one-byte encodings are those of a saved
// file: a character the encoding lacks becomes a decimal character reference,
// as libxml2's output encoder writes it. kAnsi is Windows-1252 exactly as
// Utf8ToAnsi makes it from the UTF-8 text.
enum class Target { kUtf8, kWindows1252, kLatin1, kLatin9, kAnsi, kOther };

Target EncodingNamed(const char* name) {
  const std::string n = AnsiUpper(name ? name : "UTF-8");
  if (n == "UTF-8" || n == "UTF8") return Target::kUtf8;
  if (n == "WINDOWS-1252" || n == "CP1252") return Target::kWindows1252;
  if (n == "ISO-8859-1" || n == "ISO8859-1" || n == "LATIN1") return Target::kLatin1;
  if (n == "ISO-8859-15" || n == "ISO8859-15" || n == "LATIN-9") return Target::kLatin9;
  return Target::kOther;
}

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

// The byte of a code point in a saved file's one-byte encoding, or -1 when it has none.
int ByteOf(Target e, long cp) {
  if (cp < 0x80) return static_cast<int>(cp);
  switch (e) {
    case Target::kWindows1252:
      if (cp >= 0xA0 && cp <= 0xFF) return static_cast<int>(cp);
      for (int i = 0; i < 32; ++i)
        if (kWindows1252High[i] == static_cast<char32_t>(cp)) return 0x80 + i;
      return -1;
    case Target::kLatin1: return cp <= 0xFF ? static_cast<int>(cp) : -1;
    case Target::kLatin9:
      for (const auto& m : kLatin9) {
        if (m.cp == static_cast<char32_t>(cp)) return m.byte;
        if (m.byte == cp) return -1;
      }
      return cp <= 0xFF ? static_cast<int>(cp) : -1;
    default: return -1;
  }
}

constexpr long kInvalid = -1;  // not a UTF-8 sequence
constexpr long kCut = -2;      // the string ends inside the sequence

// The code point of the UTF-8 sequence at s (advancing s past it only then),
// or kInvalid / kCut.
long NextCodePoint(const unsigned char*& s) {
  const unsigned char c = *s;
  const int extra = (c & 0xE0) == 0xC0 ? 1 : (c & 0xF0) == 0xE0 ? 2 : (c & 0xF8) == 0xF0 ? 3 : -1;
  if (extra < 0) return kInvalid;
  long cp = c & (0x3F >> extra);
  for (int k = 1; k <= extra; ++k) {
    if ((s[k] & 0xC0) != 0x80) return s[k] ? kInvalid : kCut;
    cp = (cp << 6) | (s[k] & 0x3F);
  }
  s += extra + 1;
  return cp;
}

// What libxml2 writes as a character reference in an attribute; for anything
// else it writes the bytes one by one, which is left to it.
bool IsXmlChar(long cp) {
  return cp == 0x9 || cp == 0xA || cp == 0xD || (cp >= 0x20 && cp <= 0xD7FF) || (cp >= 0xE000 && cp <= 0xFFFD) ||
         (cp >= 0x10000 && cp <= 0x10FFFF);
}

// The bytes that end a run copied as it is: NUL, and what is escaped or converted.
struct Stops {
  bool at[256];
};
constexpr Stops MakeStops(const char* escaped, bool nonAscii) {
  Stops stops{};
  stops.at[0] = true;
  for (const char* c = escaped; *c; ++c) stops.at[static_cast<unsigned char>(*c)] = true;
  for (int c = 0x80; c < 0x100; ++c) stops.at[c] = nonAscii;
  return stops;
}
// Names, comments and processing instructions; text; attribute values. The
// second of each pair also stops at non-ASCII bytes.
constexpr Stops kRawStops[2] = {MakeStops("", false), MakeStops("", true)};
constexpr Stops kTextStops[2] = {MakeStops("<>&\r", false), MakeStops("<>&\r", true)};
constexpr Stops kAttributeStops[2] = {MakeStops("<>&\"\n\r\t", false), MakeStops("<>&\"\n\r\t", true)};
// The same for a write that also looks for what a reader refuses: control
// characters, and the lead byte of U+FFFE / U+FFFF.
constexpr Stops WithRefused(Stops stops) {
  for (int c = 1; c < 0x20; ++c) stops.at[c] = stops.at[c] || (c != '\t' && c != '\n' && c != '\r');
  stops.at[0xEF] = true;
  return stops;
}
constexpr Stops kCheckedTextStops[2] = {WithRefused(kTextStops[0]), WithRefused(kTextStops[1])};
constexpr Stops kCheckedAttributeStops[2] = {WithRefused(kAttributeStops[0]), WithRefused(kAttributeStops[1])};

// The first stop from s on, four bytes looked at per step; never a byte past the NUL.
inline const unsigned char* NextStop(const unsigned char* s, const Stops& stops) {
  for (;; s += 4) {
    if (stops.at[s[0]]) return s;
    if (stops.at[s[1]]) return s + 1;
    if (stops.at[s[2]]) return s + 2;
    if (stops.at[s[3]]) return s + 3;
  }
}

// Copies n bytes (at most Sink::kSlack) without a call, in overlapping words.
inline void CopyShort(char* to, const char* from, size_t n) {
  if (n >= 8) {
    for (size_t i = 0; i + 8 < n; i += 8) std::memcpy(to + i, from + i, 8);
    std::memcpy(to + n - 8, from + n - 8, 8);
  } else if (n >= 4) {
    std::memcpy(to, from, 4);
    std::memcpy(to + n - 4, from + n - 4, 4);
  } else if (n) {
    to[0] = from[0];
    to[n / 2] = from[n / 2];
    to[n - 1] = from[n - 1];
  }
}

// The output gathered in a local buffer and appended to the string in
// pieces of about 2 KB: few enough, and small enough to be copied by vector
// moves rather than the string instructions memcpy takes for large blocks.
// Past its end the buffer keeps kSlack bytes, so that a small piece needs one
// look at the room left, and no call.
class Sink {
 public:
  static constexpr size_t kSlack = 64;

  explicit Sink(std::string& out) : out_(out) {}
  Sink(const Sink&) = delete;
  Sink& operator=(const Sink&) = delete;

  // Where up to kSlack bytes may be written; Advance tells where they end.
  char* Room() {
    if (p_ >= end_) Flush();
    return p_;
  }
  void Advance(char* to) { p_ = to; }

  void Put(char c) {
    char* to = Room();
    *to = c;
    p_ = to + 1;
  }
  void Put(const char* s, size_t n) {
    if (n > kSlack) return PutLong(s, n);
    char* to = Room();
    CopyShort(to, s, n);
    p_ = to + n;
  }
  template <size_t N>
  void Put(const char (&literal)[N]) {
    static_assert(N - 1 <= kSlack);
    char* to = Room();
    std::memcpy(to, literal, N - 1);
    p_ = to + N - 1;
  }
  [[gnu::noinline]] void Flush() {
    out_.append(buffer_, static_cast<size_t>(p_ - buffer_));
    p_ = buffer_;
  }

 private:
  [[gnu::noinline]] void PutLong(const char* s, size_t n) {
    for (;;) {
      const size_t room = p_ < end_ ? static_cast<size_t>(end_ - p_) : 0;
      const size_t part = std::min(n, room);
      std::memcpy(p_, s, part);
      p_ += part;
      if (part == n) return;
      s += part, n -= part;
      Flush();
    }
  }

  static constexpr size_t kSize = 2048;
  std::string& out_;
  char buffer_[kSize + kSlack];
  char* p_ = buffer_;
  char* const end_ = buffer_ + kSize;
};

class PlainWriter {
 public:
  // `names` keeps what it learns of names for the whole write: for a
  // document, where each name comes back once per record.
  PlainWriter(std::string& out, Target target, bool hexAttributes, bool names)
      : sink_(out),
        target_(target),
        hexAttributes_(hexAttributes),
        raw_(kRawStops[target != Target::kUtf8]),
        text_(&kTextStops[target != Target::kUtf8]),
        attribute_(&kAttributeStops[target != Target::kUtf8 || hexAttributes]) {
    if (names) names_.resize(kNameSlots);
  }

  // Also looks, while writing, for anything that reading the text back would
  // change: neighbouring or blank texts, characters a reader refuses,
  // comments and instructions (which reading keeps, but settling refuses).
  void CheckSettled() {
    checking_ = true;
    text_ = &kCheckedTextStops[target_ != Target::kUtf8];
    attribute_ = &kCheckedAttributeStops[target_ != Target::kUtf8 || hexAttributes_];
  }
  // Nothing found, once the whole document is written.
  bool settled() const { return checking_ && !unsettled_; }

  // Children in `leftOut` (sorted) are written as if deleted. Only the
  // children of their parents are looked up, which are few.
  void LeaveOut(const std::vector<xmlNodePtr>* leftOut) {
    leftOut_ = leftOut;
    parents_.clear();
    for (xmlNodePtr node : *leftOut)
      if (std::find(parents_.begin(), parents_.end(), node->parent) == parents_.end()) parents_.push_back(node->parent);
  }

  // The node and its subtree, depth first through the tree's own links
  // rather than by recursion.
  bool Node(xmlNodePtr top) {
    xmlNodePtr node = top;
    for (;;) {
      if (node->type == XML_ELEMENT_NODE) {
        if (node->ns || node->nsDef) return false;
        xmlNodePtr child = FirstKept(node);
        const xmlChar* leafText = child ? nullptr : node->content;  // see XmlTree::TakeLeafText
        const bool open = child || leafText;
        const Name& name = NameOf(node->name);
        if (node->properties) {
          if (!Tag("<", name, "") || !Attributes(node)) return false;
          sink_.Put(open ? ">" : "/>", open ? 1 : 2);
        } else if (!(open ? Tag("<", name, ">") : Tag("<", name, "/>"))) {
          return false;
        }
        if (child) {
          node = child;
          continue;
        }
        if (leafText && (!Write(leafText, *text_, false) || !Tag("</", NameOf(node->name), ">"))) return false;
      } else if (!Leaf(node)) {
        return false;
      }
      // Up to the first ancestor (or the node) with a next sibling to write.
      for (;;) {
        if (node == top) return true;
        if (xmlNodePtr next = NextKept(node)) {
          node = next;
          break;
        }
        node = node->parent;
        if (!Tag("</", NameOf(node->name), ">")) return false;
      }
    }
  }

  void Put(const char* s, size_t n) { sink_.Put(s, n); }
  void Put(char c) { sink_.Put(c); }
  void Finish() { sink_.Flush(); }

 private:
  // A name as it is written. libxml2 keeps one copy of each name in the
  // document's dictionary, so its address tells it (a document without one
  // fills the table and has its names measured each time).
  struct Name {
    const xmlChar* name = nullptr;
    uint32_t length = 0;
    bool asItIs = false;  // nothing in it to convert
    bool copied = false;  // asItIs and short: `text` holds it
    char text[32] = {};
  };
  static constexpr size_t kNameSlots = 512;  // a power of two

  const Name& NameOf(const xmlChar* name) {
    if (!names_.empty()) {
      const size_t at = (reinterpret_cast<uintptr_t>(name) * 0x9E3779B97F4A7C15ULL) >> 55;
      for (size_t probe = 0; probe < 4; ++probe) {
        Name& slot = names_[(at + probe) & (kNameSlots - 1)];
        if (slot.name == name) return slot;
        if (!slot.name) return Measure(slot, name);
      }
    }
    return Measure(scratch_, name);
  }

  Name& Measure(Name& slot, const xmlChar* name) {
    unsigned char any = 0;
    size_t n = 0;
    for (; name[n]; ++n) any |= name[n];
    slot.name = name;
    slot.length = static_cast<uint32_t>(n);
    slot.asItIs = any < 0x80 || target_ == Target::kUtf8;
    slot.copied = slot.asItIs && n <= sizeof slot.text;
    if (slot.copied) std::memcpy(slot.text, name, n);
    return slot;
  }

  bool PutName(const Name& name) {
    if (name.copied) {
      char* to = sink_.Room();
      std::memcpy(to, name.text, sizeof name.text);
      sink_.Advance(to + name.length);
      return true;
    }
    if (name.asItIs) {
      sink_.Put(C(name.name), name.length);
      return true;
    }
    return Write(name.name, raw_, false);
  }

  // `before`, the name and `after`, with one look at the room for a short name.
  template <size_t B, size_t A>
  bool Tag(const char (&before)[B], const Name& name, const char (&after)[A]) {
    static_assert(B - 1 + sizeof name.text + A - 1 <= Sink::kSlack);
    if (!name.copied) {
      sink_.Put(before, B - 1);
      if (!PutName(name)) return false;
      sink_.Put(after, A - 1);
      return true;
    }
    char* to = sink_.Room();
    std::memcpy(to, before, B - 1);
    std::memcpy(to + B - 1, name.text, sizeof name.text);
    to += B - 1 + name.length;
    std::memcpy(to, after, A - 1);
    sink_.Advance(to + A - 1);
    return true;
  }

  bool Attributes(xmlNodePtr element) {
    for (xmlAttrPtr a = element->properties; a; a = a->next) {
      if (a->ns) return false;
      xmlNodePtr value = a->children;
      if (value && (value->type != XML_TEXT_NODE || value->next)) return false;
      if (!Tag(" ", NameOf(a->name), "=\"")) return false;
      const xmlChar* kept = static_cast<const xmlChar*>(a->psvi);  // see XmlTree::TakeAttributeValue
      if (kept && !Write(kept, *attribute_, hexAttributes_)) return false;
      if (value && value->content && !Write(value->content, *attribute_, hexAttributes_)) return false;
      sink_.Put('"');
    }
    return true;
  }

  bool Leaf(xmlNodePtr node) {
    switch (node->type) {
      case XML_TEXT_NODE:
        if (node->name == xmlStringTextNoenc) return false;
        if (checking_ && ((node->prev && node->prev->type == XML_TEXT_NODE) || IsBlankText(node->content)))
          unsettled_ = true;
        return !node->content || Write(node->content, *text_, false);
      case XML_COMMENT_NODE:
        unsettled_ = true;
        if (!node->content) return true;
        sink_.Put("<!--");
        if (!Write(node->content, raw_, false)) return false;
        sink_.Put("-->");
        return true;
      case XML_PI_NODE:
        unsettled_ = true;
        sink_.Put("<?");
        if (!Write(node->name, raw_, false)) return false;
        if (node->content) {
          sink_.Put(' ');
          if (!Write(node->content, raw_, false)) return false;
        }
        sink_.Put("?>");
        return true;
      default: return false;
    }
  }

  // An element that keeps no child is written empty, as after deleting them.
  xmlNodePtr FirstKept(xmlNodePtr element) const {
    xmlNodePtr child = element->children;
    if (leftOut_ && IsParentOfLeftOut(element))
      while (child && IsLeftOut(child)) child = child->next;
    return child;
  }
  xmlNodePtr NextKept(xmlNodePtr node) const {
    xmlNodePtr next = node->next;
    if (next && leftOut_ && IsParentOfLeftOut(node->parent))
      while (next && IsLeftOut(next)) next = next->next;
    return next;
  }
  bool IsParentOfLeftOut(xmlNodePtr node) const {
    return std::find(parents_.begin(), parents_.end(), node) != parents_.end();
  }
  bool IsLeftOut(xmlNodePtr child) const { return std::binary_search(leftOut_->begin(), leftOut_->end(), child); }

  // A string up to its end, in runs between its stops: text and attribute
  // values escaped as libxml2 escapes them (CR in both; LF, TAB and quotes
  // in attributes), non-ASCII characters in the target.
  bool Write(const xmlChar* string, const Stops& stops, bool hex) {
    auto s = reinterpret_cast<const unsigned char*>(string);
    for (;;) {
      const unsigned char* run = s;
      s = NextStop(s, stops);
      if (s != run) sink_.Put(reinterpret_cast<const char*>(run), static_cast<size_t>(s - run));
      switch (*s) {
        case '\0': return true;
        case '<': sink_.Put("&lt;"); break;
        case '>': sink_.Put("&gt;"); break;
        case '&': sink_.Put("&amp;"); break;
        case '"': sink_.Put("&quot;"); break;
        case '\n': sink_.Put("&#10;"); break;
        case '\r': sink_.Put("&#13;"); break;
        case '\t': sink_.Put("&#9;"); break;
        default:
          if (*s < 0x20 || (*s == 0xEF && target_ == Target::kUtf8)) {
            // Only a checking write stops here: the byte goes as it is.
            if (*s < 0x20 || (s[1] == 0xBF && (s[2] == 0xBE || s[2] == 0xBF))) unsettled_ = true;
            sink_.Put(static_cast<char>(*s));
            break;
          }
          if (!Character(s, hex)) return false;
          continue;
      }
      ++s;
    }
  }

  // The non-ASCII character at s, advancing past it.
  [[gnu::noinline]] bool Character(const unsigned char*& s, bool hex) {
    const unsigned char* at = s;
    const long cp = NextCodePoint(s);
    if (cp == 0xFFFE || cp == 0xFFFF) unsettled_ = true;
    if (hex) {
      // Without a declared encoding libxml2 writes it as a hexadecimal reference.
      if (cp < 0 || !IsXmlChar(cp)) return false;
      Reference(cp, true);
      return true;
    }
    if (target_ == Target::kAnsi) {
      if (cp >= 0) {
        sink_.Put(CodePointToAnsi(static_cast<char32_t>(cp)));
        return true;
      }
      // As Utf8ToAnsi: '?' for the byte, the next one looked at again. What
      // follows a sequence the string cuts short is another string: left to it.
      if (cp == kCut) return false;
      sink_.Put('?');
      s = at + 1;
      return true;
    }
    if (cp < 0) return false;
    const int byte = ByteOf(target_, cp);
    if (byte >= 0) sink_.Put(static_cast<char>(byte));
    else Reference(cp, false);
    return true;
  }

  [[gnu::noinline]] void Reference(long cp, bool hex) {
    char digits[16];
    char* d = digits + sizeof digits;
    const unsigned base = hex ? 16 : 10;
    for (auto v = static_cast<unsigned long>(cp); v || d == digits + sizeof digits; v /= base)
      *--d = "0123456789ABCDEF"[v % base];
    sink_.Put(hex ? "&#x" : "&#", hex ? 3 : 2);
    sink_.Put(d, static_cast<size_t>(digits + sizeof digits - d));
    sink_.Put(';');
  }

  Sink sink_;
  Target target_;
  bool hexAttributes_;
  const Stops& raw_;
  const Stops* text_;
  const Stops* attribute_;
  bool checking_ = false, unsettled_ = false;
  std::vector<Name> names_;
  Name scratch_;
  const std::vector<xmlNodePtr>* leftOut_ = nullptr;
  std::vector<xmlNodePtr> parents_;
};

Target TargetOf(WrittenIn in) { return in == WrittenIn::kAnsi ? Target::kAnsi : Target::kUtf8; }

// Room for a whole document: what the last one took, a little more for growth.
void Reserve(std::string& out, const XmlTree& tree) {
  const size_t hint = tree.sizeHint();
  if (hint) out.reserve(out.size() + hint + hint / 32);
}

// The top-level nodes, each followed by LF, after `declaration`.
bool WriteDocument(std::string& out, const XmlTree& tree, PlainWriter& writer, const char* declaration) {
  const size_t mark = out.size();
  if (tree.hasDeclaration()) writer.Put(declaration, std::strlen(declaration));
  for (xmlNodePtr child = tree.doc()->children; child; child = child->next) {
    if (!writer.Node(child)) {
      out.resize(mark);
      return false;
    }
    writer.Put('\n');
  }
  writer.Finish();
  return true;
}

}  // namespace

// A node alone is written as libxml2 dumps it: its document's encoding still
// unset when none was declared.
bool WritePlainNode(std::string& out, xmlNodePtr node, WrittenIn in) {
  const size_t mark = out.size();
  PlainWriter writer(out, TargetOf(in), node->doc == nullptr || node->doc->encoding == nullptr, false);
  if (writer.Node(node)) {
    writer.Finish();
    return true;
  }
  out.resize(mark);
  return false;
}

bool WritePlainDocument(std::string& out, const XmlTree& tree, WrittenIn in) {
  const size_t mark = out.size();
  Reserve(out, tree);
  PlainWriter writer(out, TargetOf(in), tree.doc()->encoding == nullptr, true);
  if (!WriteDocument(out, tree, writer, "<?xml version=\"1.0\"?>\n")) return false;
  tree.SetSizeHint(out.size() - mark);
  return true;
}

bool WritePlainDocumentLeavingOut(std::string& out, const XmlTree& tree, const std::vector<xmlNodePtr>& leftOut,
                                  WrittenIn in) {
  // The whole document's size, a bound for a part of it.
  Reserve(out, tree);
  PlainWriter writer(out, TargetOf(in), tree.doc()->encoding == nullptr, true);
  writer.LeaveOut(&leftOut);
  return WriteDocument(out, tree, writer, "<?xml version=\"1.0\"?>\n");
}

bool EncodePlainDocument(std::string& out, const XmlTree& tree) {
  xmlDocPtr doc = tree.doc();
  const char* declared = doc->encoding ? C(doc->encoding) : nullptr;
  const Target target = EncodingNamed(declared);
  if (target == Target::kOther || doc->standalone >= 0) return false;
  if (doc->version && std::strcmp(C(doc->version), "1.0") != 0) return false;
  // The declaration as libxml2 writes it: the declared name, quoted as written.
  if (declared && std::strchr(declared, '"')) return false;
  const std::string declaration =
      declared ? std::string("<?xml version=\"1.0\" encoding=\"") + declared + "\"?>\n" : "<?xml version=\"1.0\"?>\n";
  const size_t mark = out.size();
  Reserve(out, tree);
  // Saving names an encoding (UTF-8 at least) for the time of the write.
  PlainWriter writer(out, target, false, true);
  writer.CheckSettled();
  if (!WriteDocument(out, tree, writer, declaration.c_str())) return false;
  tree.SetSizeHint(out.size() - mark);
  if (writer.settled()) tree.SetSettled();
  return true;
}

bool EncodeAnsiText(std::string& out, std::string_view ansi, const char* encodingName) {
  const Target target = EncodingNamed(encodingName);
  if (target == Target::kOther) return false;
  // What each byte from 0x80 becomes: its UTF-8 sequence, its byte in the
  // encoding, or a decimal reference where the encoding lacks it, as in a
  // saved document.
  std::array<std::string, 128> high;
  for (int b = 0; b < 128; ++b) {
    const char byte = static_cast<char>(0x80 + b);
    const char32_t cp = AnsiToCodePoint(static_cast<unsigned char>(byte));
    const int encoded = target == Target::kUtf8 ? -1 : ByteOf(target, static_cast<long>(cp));
    if (target == Target::kUtf8) high[b] = AnsiToUtf8(std::string_view(&byte, 1));
    else if (encoded >= 0) high[b] = std::string(1, static_cast<char>(encoded));
    else high[b] = "&#" + std::to_string(static_cast<unsigned long>(cp)) + ";";
  }
  // Two passes, the first to size the result: a document's text is tens of
  // MB, and a block that grows by doubling would leave a larger one behind.
  auto pass = [&](auto&& ascii, auto&& other) {
    auto s = reinterpret_cast<const unsigned char*>(ansi.data());
    const auto end = s + ansi.size();
    while (s < end) {
      const unsigned char* run = s;
      for (uint64_t word; end - s >= 8; s += 8) {  // ASCII, eight bytes looked at together
        std::memcpy(&word, s, 8);
        if (word & 0x8080808080808080ULL) break;
      }
      while (s < end && *s < 0x80) ++s;
      ascii(run, static_cast<size_t>(s - run));
      if (s < end) other(high[*s++ - 0x80]);
    }
  };
  size_t size = out.size();
  pass([&](const unsigned char*, size_t n) { size += n; }, [&](const std::string& e) { size += e.size(); });
  out.reserve(size);
  pass([&](const unsigned char* run, size_t n) { out.append(reinterpret_cast<const char*>(run), n); },
       [&](const std::string& e) { out += e; });
  return true;
}

}  // namespace tarvelon
