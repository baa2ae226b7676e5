#include "exporters/frame/text_cuts.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>
#include <cstring>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

#include "exporters/frame/text_scan.h"
#include "platform/text.h"

namespace tarvelon {
using namespace text_scan;
namespace {

// A name whose tags ("<name>", "<name/>", "</name>") hold no "<" but their
// first byte and cannot be taken one for another: no "<", "/" or ">" in it.
bool IsPlainName(const std::string& name) { return !name.empty() && name.find_first_of("</>") == std::string::npos; }

}  // namespace

std::string CutWithinRecords(std::string text, const std::string& start, const std::string& end) {
  const Marker from(start), to(end);
  std::optional<MarkerScan> starts;
  if (start.size() >= 2) starts.emplace(std::vector<MarkerScan::Wanted>{{start}});
  const auto nextStart = [&](size_t at) {
    if (!starts) return from.In(text, at);
    while ((at = starts->Next(text, at)) != std::string::npos && !IsAt(text, at, start)) ++at;
    return at;
  };
  RecordLimits limits(text);
  CutStretchesInPlace(text, [&](size_t pos) {
    for (size_t s = nextStart(pos); s != std::string::npos; s = nextStart(s + 1)) {
      const size_t e = to.In(text, s + start.size(), limits.For(s));
      if (e != std::string::npos) return Stretch{s, e + end.size()};
    }
    return Stretch{};
  });
  return text;
}

namespace {

// CutElementRun by a search for each of its tags, for any names.
std::string CutElementRunBySearches(std::string text, const std::string& first, const std::string& last) {
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

}  // namespace

std::string CutElementRun(std::string text, const std::string& first, const std::string& last) {
  if (!IsPlainName(first) || !IsPlainName(last)) return CutElementRunBySearches(std::move(text), first, last);
  // With plain names the tags of the run overlap neither one another nor a
  // record end. A run that finds no end before its record's end leaves every
  // start up to there without one too, so the search for a start goes on
  // from that record end.
  const std::string open = "<" + first + ">", openEmpty = "<" + first + "/>";
  const std::string close = "</" + last + ">", closeEmpty = "<" + last + "/>";
  const MarkerScan starts({{"<" + first}});
  CutStretchesInPlace(text, [&](size_t from) {
    for (size_t s = starts.Next(text, from); s != std::string::npos; s = starts.Next(text, from)) {
      const bool empty = IsAt(text, s, openEmpty);
      if (!empty && !IsAt(text, s, open)) {
        from = s + 1;
        continue;
      }
      const size_t after = s + (empty ? openEmpty.size() : open.size());
      // A run of one element (first == last) written empty is its own end.
      if (empty && first == last) return Stretch{s, after};
      const EndSearch e = EndInRecord(text, after, close, closeEmpty);
      if (e.at != std::string::npos) return Stretch{s, e.past};
      from = e.past;
    }
    return Stretch{};
  });
  return text;
}

std::string WrapPhotoSlots(const std::string& text, int slots) {
  // One pass for three edits made in turn: "<IDPHOTO1>" (any case) opens a
  // PHOTOS block; each record end (any case, written back as "</DataVO>")
  // closes the block of a record holding "<PHOTOS><PHOTO>"; then "IDPHOTO" + q
  // + ">" (any case) becomes "PHOTO>" for every slot q from 1 to `slots`. The
  // markers of the three cannot overlap, and what the first two edits write
  // holds none of them and ends a run of digits as what it replaces does
  // (with a "<"), so each marker is found and judged on the original text as
  // the edits in turn would find it.
  static const MarkerScan markers({{"IDPHOTO", true}, {kRecordEnd, true}, {"<PHOTOS><PHOTO>", false}});
  const std::string slotName = "IDPHOTO";
  const size_t size = text.size();
  std::string out;
  out.reserve(size + size / 64 + 64);
  size_t kept = 0;
  bool hasPhotos = false;
  for (size_t at = markers.Next(text, 0); at != std::string::npos; at = markers.Next(text, at)) {
    if (IsAt(text, at, slotName, true)) {
      const size_t digits = at + slotName.size();
      // "<IDPHOTO1>": its "<" is not in what was written already, which ends with ">".
      if (at > 0 && text[at - 1] == '<' && IsAt(text, digits, "1>")) {
        out.append(text, kept, at - 1 - kept);
        out += "<PHOTOS><PHOTO>";
        kept = at = digits + 2;
        hasPhotos = true;
        continue;
      }
      size_t digitsEnd = digits;
      long long number = 0;
      while (digitsEnd < size && std::isdigit(static_cast<unsigned char>(text[digitsEnd])) && digitsEnd - digits < 10)
        number = number * 10 + (text[digitsEnd++] - '0');
      const size_t count = digitsEnd - digits;
      if (count == 0 || text[digits] == '0' || count > 9 || digitsEnd >= size || text[digitsEnd] != '>' ||
          number > slots) {
        ++at;
        continue;
      }
      out.append(text, kept, at - kept);
      out += "PHOTO>";
      kept = at = digitsEnd + 1;
    } else if (IsAt(text, at, kRecordEnd, true)) {
      out.append(text, kept, at - kept);
      if (hasPhotos) out += "</PHOTOS>";
      out += kRecordEnd;
      kept = at = at + kRecordEnd.size();
      hasPhotos = false;
    } else {
      if (IsAt(text, at, "<PHOTOS><PHOTO>")) hasPhotos = true;
      ++at;
    }
  }
  out.append(text, kept, std::string::npos);
  return out;
}

namespace {

// RemoveElement by searches bounded by each record's end, for any name.
std::string RemoveElementBySearches(std::string text, const std::string& name) {
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

}  // namespace

std::string RemoveElement(std::string text, const std::string& name) {
  if (name.empty() || name.find('<') != std::string::npos) return RemoveElementBySearches(std::move(text), name);
  // "<name>" … "</name>" within its record and "<name/>" anywhere, in one pass:
  // in a serialized document neither cut can make or unmake the other's marker.
  const std::string open = "<" + name + ">", close = "</" + name + ">", empty = "<" + name + "/>";
  const MarkerScan tags({{"<" + name}});
  // Every "<name>" before the record end where one found no end finds none either.
  size_t unclosedUntil = 0;
  CutStretchesInPlace(text, [&](size_t pos) {
    for (size_t s = tags.Next(text, pos); s != std::string::npos; s = tags.Next(text, s + 1)) {
      if (IsAt(text, s, empty)) return Stretch{s, s + empty.size()};
      if (s < unclosedUntil || !IsAt(text, s, open)) continue;
      const EndSearch e = EndInRecord(text, s + open.size(), close);
      if (e.at != std::string::npos) return Stretch{s, e.past};
      unclosedUntil = e.past;
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
  std::vector<MarkerScan::Wanted> tags;
  std::vector<std::string> closes;
  for (const std::string& name : names) {
    // An empty name, the record's own, or one holding a "<" is not for the single pass.
    if (name.empty() || name == "DataVO" || name.find('<') != std::string::npos) usable = false;
    tags.push_back({"<" + name});
    closes.push_back("</" + name + ">");
  }
  if (!usable) return oneByOne(std::move(text));
  const MarkerScan scan(std::move(tags));

  // Each cut runs from a "<" through a ">", starts where no tag is open and
  // holds no tag of a listed name but its own: then the other names' cuts
  // touch neither the tags each name's own pass looks for nor the record
  // ends that bound it, and that pass finds the very elements found here.
  // The cuts are found first, the text as it was; then made in one pass.
  std::vector<Edit> cuts;
  const char* const data = text.data();
  const size_t size = text.size();
  for (size_t at = 0; (at = scan.Next(text, at)) != std::string::npos;) {
    size_t end = std::string::npos, innerEnd = at;
    for (size_t n = 0; n < names.size(); ++n) {
      const std::string& name = names[n];
      const size_t after = at + 1 + name.size();
      if (after >= size || text.compare(at + 1, name.size(), name) != 0) continue;
      if (text.compare(after, 2, "/>") == 0) {
        end = innerEnd = after + 2;
      } else if (data[after] == '>') {
        const EndSearch e = EndInRecord(text, after + 1, closes[n]);
        if (e.at != std::string::npos) end = e.past, innerEnd = e.at;
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
    cuts.push_back({at, end, {}});
    at = end;
  }
  ApplyEdits(text, cuts);
  return text;
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

std::string ReplaceTags(std::string text, const std::vector<std::pair<std::string, std::string>>& replacements,
                        bool ignoreCase) {
  const auto inTurn = [&] {
    std::string t = std::move(text);
    for (const auto& [from, to] : replacements) t = ReplaceAllInText(std::move(t), from, to, ignoreCase);
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

  // The tags are found first, the text as it was; then replaced in one pass.
  std::vector<Edit> edits;
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
    edits.push_back({at, at + hit->first.size(), hit->second});
    at += hit->first.size();
  }
  ApplyEdits(text, edits);
  return text;
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

std::string WithIsoDeclaration(std::string text) {
  const std::string iso = "<?xml version=\"1.0\" encoding=\"ISO-8859-15\" ?>";
  text = ReplaceAllInText(std::move(text), "<?xml version=\"1.0\"?>", iso, true);
  // A document that had no declaration still names its encoding.
  if (StartsWith(text, "<?xml")) return text;
  std::string named;  // one block of the final size
  named.reserve(iso.size() + text.size());
  return named.append(iso).append(text);
}

std::string RemoveSection(std::string text, const std::string& name) {
  const std::string close = "</" + name + ">";
  CutStretchesInPlace(text, [&](size_t from) {
    const Tag tag = NextStartTag(text, name, from);
    if (tag.begin == std::string::npos || tag.empty) return Stretch{tag.begin, tag.end};
    const size_t end = text.find(close, tag.end);
    return end == std::string::npos ? Stretch{} : Stretch{tag.begin, end + close.size()};
  });
  return text;
}

std::string ReplaceSectionTags(std::string text, const std::string& name, const std::string& open,
                               const std::string& close) {
  const std::string openAndClose = open + close;
  std::vector<Edit> edits;
  for (Tag tag = NextStartTag(text, name, 0); tag.begin != std::string::npos; tag = NextStartTag(text, name, tag.end))
    edits.push_back({tag.begin, tag.end, tag.empty ? std::string_view(openAndClose) : std::string_view(open)});
  ApplyEdits(text, edits);
  return ReplaceAllInText(std::move(text), "</" + name + ">", close, true);
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
