#include "exporters/frame/text_cuts.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <functional>
#include <string_view>
#include <vector>

#include "platform/text.h"

namespace tarvelon {
namespace {

// The next "<" at or after `from` whose following byte the table marks (the
// first letters of the tags a pass looks for), or npos.
size_t NextTagStart(const std::string& text, size_t from, const bool (&marked)[256]) {
  const char* const data = text.data();
  while (from < text.size()) {
    const void* lt = std::memchr(data + from, '<', text.size() - from);
    if (!lt) break;
    const size_t at = static_cast<size_t>(static_cast<const char*>(lt) - data);
    if (at + 1 < text.size() && marked[static_cast<unsigned char>(data[at + 1])]) return at;
    from = at + 1;
  }
  return std::string::npos;
}

const std::string kRecordEnd = "</DataVO>";

struct Stretch {
  size_t begin = std::string::npos;
  size_t end = std::string::npos;  // one past the last character
};

// Where a marker occurs in [from, limit), or npos.
size_t FindBefore(const std::string& text, const std::string& marker, size_t from, size_t limit) {
  if (from >= limit) return std::string::npos;
  const size_t at = std::string_view(text).substr(from, limit - from).find(marker);
  return at == std::string::npos ? at : from + at;
}

// One marker searched for over the whole document text: Boyer-Moore-Horspool
// skips ahead by the marker's length where a plain search stops at every "<".
class Marker {
 public:
  explicit Marker(std::string marker) : marker_(std::move(marker)), searcher_(marker_.begin(), marker_.end()) {}
  Marker(const Marker&) = delete;  // the searcher points into marker_
  Marker& operator=(const Marker&) = delete;

  // Where the marker occurs in [from, limit), or npos.
  size_t In(const std::string& text, size_t from, size_t limit) const {
    if (from >= limit || limit - from < marker_.size()) return std::string::npos;
    const auto first = text.cbegin() + static_cast<std::ptrdiff_t>(from);
    const auto last = text.cbegin() + static_cast<std::ptrdiff_t>(limit);
    const auto at = std::search(first, last, searcher_);
    return at == last ? std::string::npos : static_cast<size_t>(at - text.cbegin());
  }
  size_t In(const std::string& text, size_t from) const { return In(text, from, text.size()); }
  size_t size() const { return marker_.size(); }

 private:
  const std::string marker_;
  const std::boyer_moore_horspool_searcher<std::string::const_iterator> searcher_;
};

// The end of the record that holds a position (the text's end outside
// records). Positions asked for only grow, so the text is read once.
class RecordLimits {
 public:
  explicit RecordLimits(const std::string& text) : text_(text), recordEnd_(kRecordEnd) {}
  size_t For(size_t at) {
    if (at < searchedFrom_ || at > next_) {
      searchedFrom_ = at;
      const size_t end = recordEnd_.In(text_, at);
      next_ = end == std::string::npos ? text_.size() : end;
    }
    return next_;
  }

 private:
  const std::string& text_;
  const Marker recordEnd_;
  size_t searchedFrom_ = 1;
  size_t next_ = 0;
};

template <typename FindStretch>
std::string CutStretches(const std::string& text, FindStretch find) {
  std::string out;
  size_t pos = 0;
  while (true) {
    const Stretch s = find(pos);
    if (s.begin == std::string::npos) break;
    out.append(text, pos, s.begin - pos);
    pos = s.end;
  }
  out.append(text, pos, std::string::npos);
  return out;
}

// The same in the text itself: what stays moves forward over what is cut.
// `find` only ever reads at or after the position it is given, which is
// never behind what has been moved.
template <typename FindStretch>
void CutStretchesInPlace(std::string& text, FindStretch find) {
  size_t kept = 0, pos = 0;
  while (true) {
    const Stretch s = find(pos);
    if (s.begin == std::string::npos) break;
    if (kept != pos) std::memmove(&text[kept], text.data() + pos, s.begin - pos);
    kept += s.begin - pos;
    pos = s.end;
  }
  if (kept == pos) return;
  std::memmove(&text[kept], text.data() + pos, text.size() - pos);
  text.resize(kept + text.size() - pos);
}

}  // namespace

std::string CutWithinRecords(std::string text, const std::string& start, const std::string& end) {
  const Marker from(start), to(end);
  RecordLimits limits(text);
  CutStretchesInPlace(text, [&](size_t pos) {
    for (size_t s = from.In(text, pos); s != std::string::npos; s = from.In(text, s + 1)) {
      const size_t e = to.In(text, s + start.size(), limits.For(s));
      if (e != std::string::npos) return Stretch{s, e + end.size()};
    }
    return Stretch{};
  });
  return text;
}

std::string CutElementRun(std::string text, const std::string& first, const std::string& last) {
  const std::string open = "<" + first + ">", openEmpty = "<" + first + "/>";
  const std::string close = "</" + last + ">", closeEmpty = "<" + last + "/>";
  const Marker opens(open), openEmpties(openEmpty), closes(close), closeEmpties(closeEmpty);
  RecordLimits limits(text);
  size_t nextOpen = opens.In(text, 0), nextOpenEmpty = openEmpties.In(text, 0);
  CutStretchesInPlace(text, [&](size_t from) {
    // The run starts at its first element in either form, whichever comes first.
    while (true) {
      if (nextOpen != std::string::npos && nextOpen < from) nextOpen = opens.In(text, from);
      if (nextOpenEmpty != std::string::npos && nextOpenEmpty < from) nextOpenEmpty = openEmpties.In(text, from);
      const bool empty = nextOpenEmpty < nextOpen;
      const size_t s = empty ? nextOpenEmpty : nextOpen;
      if (s == std::string::npos) return Stretch{};
      const size_t after = s + (empty ? openEmpty.size() : open.size());
      const size_t limit = limits.For(s);
      // A run of one element (first == last) written empty is its own end.
      if (empty && first == last) return Stretch{s, after};
      const size_t e = closes.In(text, after, limit);
      const size_t eEmpty = closeEmpties.In(text, after, limit);
      if (e != std::string::npos && e < eEmpty) return Stretch{s, e + close.size()};
      if (eEmpty != std::string::npos) return Stretch{s, eEmpty + closeEmpty.size()};
      from = s + 1;
    }
  });
  return text;
}

std::string WrapPhotoSlots(const std::string& text, int slots) {
  const std::string opened = ReplaceAll(text, "<IDPHOTO1>", "<PHOTOS><PHOTO>", true);
  // Each record that received a first photo closes its PHOTOS block.
  std::string wrapped;
  size_t pos = 0;
  while (true) {
    const size_t close = FindIgnoringCase(opened, kRecordEnd, pos);
    if (close == std::string::npos) break;
    const bool hasPhotos = FindBefore(opened, "<PHOTOS><PHOTO>", pos, close) != std::string::npos;
    wrapped.append(opened, pos, close - pos);
    if (hasPhotos) wrapped += "</PHOTOS>";
    wrapped += kRecordEnd;
    pos = close + kRecordEnd.size();
  }
  wrapped.append(opened, pos, std::string::npos);

  // "IDPHOTO" + q + ">" becomes "PHOTO>" for every slot q from 1 to `slots`.
  std::string out;
  const std::string slotName = "IDPHOTO";
  pos = 0;
  for (size_t hit = FindIgnoringCase(wrapped, slotName); hit != std::string::npos;
       hit = FindIgnoringCase(wrapped, slotName, std::max(hit + 1, pos))) {
    size_t digitsEnd = hit + slotName.size();
    while (digitsEnd < wrapped.size() && std::isdigit(static_cast<unsigned char>(wrapped[digitsEnd]))) ++digitsEnd;
    const std::string digits = wrapped.substr(hit + slotName.size(), digitsEnd - hit - slotName.size());
    if (digits.empty() || digits[0] == '0' || digits.size() > 9 || digitsEnd >= wrapped.size() ||
        wrapped[digitsEnd] != '>' || std::stol(digits) > slots)
      continue;
    out.append(wrapped, pos, hit - pos);
    out += "PHOTO>";
    pos = digitsEnd + 1;
  }
  out.append(wrapped, pos, std::string::npos);
  return out;
}

std::string RemoveElement(std::string text, const std::string& name) {
  // "<name>" … "</name>" within its record and "<name/>" anywhere, in one pass:
  // in a serialized document neither cut can make or unmake the other's marker.
  const std::string open = "<" + name + ">", close = "</" + name + ">", empty = "<" + name + "/>";
  const Marker tags("<" + name), closes(close);
  RecordLimits limits(text);
  CutStretchesInPlace(text, [&](size_t pos) {
    for (size_t s = tags.In(text, pos); s != std::string::npos; s = tags.In(text, s + 1)) {
      if (text.compare(s, empty.size(), empty) == 0) return Stretch{s, s + empty.size()};
      if (text.compare(s, open.size(), open) != 0) continue;
      const size_t e = closes.In(text, s + open.size(), limits.For(s));
      if (e != std::string::npos) return Stretch{s, e + close.size()};
    }
    return Stretch{};
  });
  return text;
}

namespace {

// The nearest "<" or ">" before `at` is a ">" (or there is none): no tag is
// open where a cut starts, so the cut can neither join two pieces of text
// into a new tag nor take part of one.
bool NoTagOpenBefore(const std::string& text, size_t at) {
  while (at > 0) {
    const char c = text[--at];
    if (c == '>') return true;
    if (c == '<') return false;
  }
  return true;
}

// The text at `at` (just after a "<", or after "</") starts with one of the names.
bool StartsWithAnyName(const std::string& text, size_t at, const std::vector<std::string>& names) {
  for (const std::string& name : names)
    if (text.compare(at, name.size(), name) == 0) return true;
  return false;
}

// A tag in [from, to) whose name starts with one of the names.
bool HoldsTagOfAny(const std::string& text, size_t from, size_t to, const std::vector<std::string>& names) {
  for (size_t at = text.find('<', from); at != std::string::npos && at < to; at = text.find('<', at + 1)) {
    const size_t name = at + 1 < text.size() && text[at + 1] == '/' ? at + 2 : at + 1;
    if (StartsWithAnyName(text, name, names)) return true;
  }
  return false;
}

}  // namespace

std::string RemoveElements(std::string text, const std::vector<std::string>& names) {
  const auto oneByOne = [&names](std::string t) {
    for (const std::string& name : names) t = RemoveElement(std::move(t), name);
    return t;
  };
  bool usable = names.size() > 1;
  bool firstChar[256] = {};
  for (const std::string& name : names) {
    // An empty name, or the record's own, is not for the single pass.
    if (name.empty() || name == "DataVO") usable = false;
    else firstChar[static_cast<unsigned char>(name[0])] = true;
  }
  if (!usable) return oneByOne(std::move(text));

  // Each cut runs from a "<" through a ">", starts where no tag is open and
  // holds no tag of a listed name but its own: then the other names' cuts
  // touch neither the tags each name's own pass looks for nor the record
  // ends that bound it, and that pass finds the very elements found here.
  RecordLimits limits(text);
  std::string out;
  out.reserve(text.size());
  size_t kept = 0;
  const char* const data = text.data();
  const size_t size = text.size();
  for (size_t at = 0; (at = NextTagStart(text, at, firstChar)) != std::string::npos;) {
    size_t end = std::string::npos, innerEnd = at;
    for (const std::string& name : names) {
      const size_t after = at + 1 + name.size();
      if (after >= size || text.compare(at + 1, name.size(), name) != 0) continue;
      if (text.compare(after, 2, "/>") == 0) {
        end = innerEnd = after + 2;
      } else if (data[after] == '>') {
        const std::string close = "</" + name + ">";
        const size_t e = FindBefore(text, close, after + 1, limits.For(at));
        if (e != std::string::npos) end = e + close.size(), innerEnd = e;
      } else {
        continue;  // a longer name, or a tag with attributes
      }
      break;  // "<name>" or "<name/>" is the tag of one name at most
    }
    if (end == std::string::npos) {
      ++at;
      continue;
    }
    if (!NoTagOpenBefore(text, at) || HoldsTagOfAny(text, at + 1, innerEnd, names)) return oneByOne(std::move(text));
    out.append(text, kept, at - kept);
    kept = at = end;
  }
  out.append(text, kept, std::string::npos);
  return out;
}

namespace {

// "<", then neither "<" nor ">", then ">".
bool IsSingleTag(const std::string& s) {
  return s.size() >= 2 && s.front() == '<' && s.back() == '>' && s.find_first_of("<>", 1) == s.size() - 1;
}

bool SameIgnoringCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() && FindIgnoringCase(a, b) == 0;
}

}  // namespace

std::string ReplaceTags(const std::string& text, const std::vector<std::pair<std::string, std::string>>& replacements,
                        bool ignoreCase) {
  const auto inTurn = [&] {
    std::string t = text;
    for (const auto& [from, to] : replacements) t = ReplaceAll(t, from, to, ignoreCase);
    return t;
  };
  static const std::string upper = [] {
    std::string bytes(256, '\0');
    for (int c = 0; c < 256; ++c) bytes[static_cast<size_t>(c)] = static_cast<char>(c);
    return AnsiUpper(bytes);
  }();
  const auto up = [ignoreCase](char c) { return ignoreCase ? upper[static_cast<unsigned char>(c)] : c; };
  const auto same = [ignoreCase](const std::string& a, const std::string& b) {
    return ignoreCase ? SameIgnoringCase(a, b) : a == b;
  };
  // A tag can only be replaced by another once all replacements are made in
  // one pass if no replacement is itself a tag replaced.
  for (const auto& [from, to] : replacements) {
    if (!IsSingleTag(from) || (!to.empty() && !IsSingleTag(to))) return inTurn();
    for (const auto& other : replacements)
      if ((&other.first != &from && same(other.first, from)) || same(to, other.first))
        return inTurn();
  }
  bool secondChar[256] = {};
  for (const auto& r : replacements)
    for (int c = 0; c < 256; ++c)
      if (up(static_cast<char>(c)) == up(r.first[1])) secondChar[c] = true;

  std::string out;
  out.reserve(text.size());
  size_t kept = 0;
  const char* const data = text.data();
  const size_t size = text.size();
  for (size_t at = 0; (at = NextTagStart(text, at, secondChar)) != std::string::npos;) {
    const std::pair<std::string, std::string>* hit = nullptr;
    for (const auto& r : replacements) {
      const std::string& from = r.first;
      if (size - at < from.size()) continue;
      size_t k = 1;
      while (k < from.size() && up(data[at + k]) == up(from[k])) ++k;
      if (k == from.size()) {
        hit = &r;
        break;
      }
    }
    if (!hit) {
      ++at;
      continue;
    }
    // A cut joins what stands around it: no tag may be open before it.
    if (hit->second.empty() && !NoTagOpenBefore(text, at)) return inTurn();
    out.append(text, kept, at - kept);
    out += hit->second;
    kept = at = at + hit->first.size();
  }
  out.append(text, kept, std::string::npos);
  return out;
}

namespace {

// A tag of the element `name` at `at`: "<name" followed by a blank, ">" or "/>".
bool IsTagOf(const std::string& text, size_t at, const std::string& name) {
  const size_t after = at + 1 + name.size();
  if (after >= text.size() || text.compare(at + 1, name.size(), name) != 0) return false;
  return text[after] == ' ' || text[after] == '>' || text[after] == '/';
}

// Start tags of `name`, their end (one past ">") and whether they are empty-element tags.
struct Tag {
  size_t begin = std::string::npos;
  size_t end = std::string::npos;
  bool empty = false;
};

Tag NextStartTag(const std::string& text, const std::string& name, size_t from) {
  for (size_t at = text.find("<" + name, from); at != std::string::npos; at = text.find("<" + name, at + 1)) {
    if (!IsTagOf(text, at, name)) continue;
    // Attribute values carry ">" escaped, so the first ">" closes the tag.
    const size_t close = text.find('>', at);
    if (close == std::string::npos) return Tag{};
    return Tag{at, close + 1, text[close - 1] == '/'};
  }
  return Tag{};
}

}  // namespace

std::string WithIsoDeclaration(const std::string& text) {
  const std::string iso = "<?xml version=\"1.0\" encoding=\"ISO-8859-15\" ?>";
  std::string out = ReplaceAll(text, "<?xml version=\"1.0\"?>", iso, true);
  // A document that had no declaration still names its encoding.
  if (!StartsWith(out, "<?xml")) out = iso + out;
  return out;
}

std::string RemoveSection(const std::string& text, const std::string& name) {
  const std::string close = "</" + name + ">";
  return CutStretches(text, [&](size_t from) {
    const Tag tag = NextStartTag(text, name, from);
    if (tag.begin == std::string::npos || tag.empty) return Stretch{tag.begin, tag.end};
    const size_t end = text.find(close, tag.end);
    return end == std::string::npos ? Stretch{} : Stretch{tag.begin, end + close.size()};
  });
}

std::string ReplaceSectionTags(const std::string& text, const std::string& name, const std::string& open,
                               const std::string& close) {
  std::string out;
  size_t pos = 0;
  for (Tag tag = NextStartTag(text, name, 0); tag.begin != std::string::npos; tag = NextStartTag(text, name, pos)) {
    out.append(text, pos, tag.begin - pos);
    out += tag.empty ? open + close : open;
    pos = tag.end;
  }
  out.append(text, pos, std::string::npos);
  return ReplaceAll(out, "</" + name + ">", close, true);
}

std::string GatherSlots(const std::string& text, const std::string& slotName, int slots, const std::string& listName,
                        const std::string& itemName) {
  struct Slot {
    int number;
    size_t begin, end;  // the element in the text
    std::string content;
  };
  std::string out;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t recordEnd = text.find(kRecordEnd, pos);
    recordEnd = recordEnd == std::string::npos ? text.size() : recordEnd + kRecordEnd.size();
    const std::string_view record = std::string_view(text).substr(pos, recordEnd - pos);

    std::vector<Slot> found;
    const std::string open = "<" + slotName;
    for (size_t at = FindIgnoringCase(record, open); at != std::string::npos;
         at = FindIgnoringCase(record, open, at + 1)) {
      size_t digitsEnd = at + open.size();
      while (digitsEnd < record.size() && std::isdigit(static_cast<unsigned char>(record[digitsEnd]))) ++digitsEnd;
      const std::string_view digits = record.substr(at + open.size(), digitsEnd - at - open.size());
      const int number = digits.size() == 1 || digits.size() == 2 ? ToIntDef(digits, 0) : 0;
      if (number < 1 || number > slots) continue;
      const std::string_view tail = record.substr(digitsEnd);
      if (StartsWith(tail, "/>")) {
        found.push_back({number, pos + at, pos + digitsEnd + 2, ""});
      } else if (StartsWith(tail, ">")) {
        const std::string end = "</" + std::string(record.substr(at + 1, digitsEnd - at - 1)) + ">";
        const size_t close = FindIgnoringCase(record, end, digitsEnd + 1);
        if (close == std::string::npos) continue;
        found.push_back({number, pos + at, pos + close + end.size(),
                         std::string(record.substr(digitsEnd + 1, close - digitsEnd - 1))});
      }
    }
    if (found.empty()) {
      out.append(record);
      pos = recordEnd;
      continue;
    }
    // Slots in slot order; the list takes the place of the first slot element.
    std::vector<const Slot*> ordered;
    for (const Slot& slot : found) ordered.push_back(&slot);
    std::stable_sort(ordered.begin(), ordered.end(), [](const Slot* a, const Slot* b) { return a->number < b->number; });
    std::string list = "<" + listName + ">";
    for (const Slot* slot : ordered)
      if (!slot->content.empty()) list += "<" + itemName + ">" + slot->content + "</" + itemName + ">";
    list += "</" + listName + ">";

    size_t at = pos;
    for (size_t i = 0; i < found.size(); ++i) {
      if (found[i].begin < at) continue;  // inside an earlier slot element
      out.append(text, at, found[i].begin - at);
      if (i == 0) out += list;
      at = found[i].end;
    }
    out.append(text, at, recordEnd - at);
    pos = recordEnd;
  }
  return out;
}

}  // namespace tarvelon
