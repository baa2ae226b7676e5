#include "exporters/frame/text_cuts.h"

#include <algorithm>
#include <cctype>
#include <string_view>
#include <vector>

#include "platform/text.h"

namespace tarvelon {
namespace {

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

// The end of the record that holds a position (the text's end outside
// records). Positions asked for only grow, so the text is read once.
class RecordLimits {
 public:
  explicit RecordLimits(const std::string& text) : text_(text) {}
  size_t For(size_t at) {
    if (at < searchedFrom_ || at > next_) {
      searchedFrom_ = at;
      const size_t end = text_.find(kRecordEnd, at);
      next_ = end == std::string::npos ? text_.size() : end;
    }
    return next_;
  }

 private:
  const std::string& text_;
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

}  // namespace

std::string CutWithinRecords(const std::string& text, const std::string& start, const std::string& end) {
  RecordLimits limits(text);
  return CutStretches(text, [&](size_t from) {
    for (size_t s = text.find(start, from); s != std::string::npos; s = text.find(start, s + 1)) {
      const size_t e = FindBefore(text, end, s + start.size(), limits.For(s));
      if (e != std::string::npos) return Stretch{s, e + end.size()};
    }
    return Stretch{};
  });
}

std::string CutElementRun(const std::string& text, const std::string& first, const std::string& last) {
  const std::string open = "<" + first + ">", openEmpty = "<" + first + "/>";
  const std::string close = "</" + last + ">", closeEmpty = "<" + last + "/>";
  RecordLimits limits(text);
  size_t nextOpen = text.find(open), nextOpenEmpty = text.find(openEmpty);
  return CutStretches(text, [&](size_t from) {
    // The run starts at its first element in either form, whichever comes first.
    while (true) {
      if (nextOpen != std::string::npos && nextOpen < from) nextOpen = text.find(open, from);
      if (nextOpenEmpty != std::string::npos && nextOpenEmpty < from) nextOpenEmpty = text.find(openEmpty, from);
      const bool empty = nextOpenEmpty < nextOpen;
      const size_t s = empty ? nextOpenEmpty : nextOpen;
      if (s == std::string::npos) return Stretch{};
      const size_t after = s + (empty ? openEmpty.size() : open.size());
      const size_t limit = limits.For(s);
      // A run of one element (first == last) written empty is its own end.
      if (empty && first == last) return Stretch{s, after};
      const size_t e = FindBefore(text, close, after, limit);
      const size_t eEmpty = FindBefore(text, closeEmpty, after, limit);
      if (e != std::string::npos && e < eEmpty) return Stretch{s, e + close.size()};
      if (eEmpty != std::string::npos) return Stretch{s, eEmpty + closeEmpty.size()};
      from = s + 1;
    }
  });
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

std::string RemoveElement(const std::string& text, const std::string& name) {
  return ReplaceAll(CutWithinRecords(text, "<" + name + ">", "</" + name + ">"), "<" + name + "/>", "");
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
