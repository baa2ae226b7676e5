#include "app/config.h"

#include "platform/errors.h"
#include "platform/files.h"
#include "platform/text.h"

namespace tarvelon {
namespace {

constexpr size_t kMaxValue = 2047;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string TrimBlanks(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && IsBlank(s[b])) ++b;
  while (e > b && IsBlank(s[e - 1])) --e;
  return std::string(s.substr(b, e - b));
}

std::string Unquote(std::string v) {
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
    v = v.substr(1, v.size() - 2);
  return v;
}

// Calls `line(section, trimmedLine)` for every line that is not a section header.
template <typename Visit>
void WalkLines(const std::string& path, Visit visit) {
  if (path.empty() || !FileExists(path)) return;
  const std::string bytes = ReadFileBytes(path);
  std::string section;
  for (size_t pos = 0; pos < bytes.size();) {
    size_t end = bytes.find('\n', pos);
    if (end == std::string::npos) end = bytes.size();
    std::string_view line(bytes.data() + pos, end - pos);
    pos = end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const std::string trimmed = TrimBlanks(line);
    const size_t close = trimmed.find(']');
    if (!trimmed.empty() && trimmed.front() == '[' && close != std::string::npos) {
      section = TrimBlanks(std::string_view(trimmed).substr(1, close - 1));
      visit(section, std::string(), true);
    } else {
      visit(section, trimmed, false);
    }
  }
}

}  // namespace

std::vector<std::string> IniFile::Sections() const {
  std::vector<std::string> names;
  WalkLines(path_, [&](const std::string& section, const std::string&, bool header) {
    if (!header) return;
    for (const std::string& known : names)
      if (SameTextIgnoringCase(known, section)) return;
    names.push_back(section);
  });
  return names;
}

std::vector<std::string> IniFile::Keys(const std::string& wanted) const {
  std::vector<std::string> keys;
  WalkLines(path_, [&](const std::string& section, const std::string& line, bool header) {
    if (header || !SameTextIgnoringCase(section, wanted)) return;
    const size_t eq = line.find('=');
    if (eq == std::string::npos || line.front() == ';') return;
    keys.push_back(TrimBlanks(std::string_view(line).substr(0, eq)));
  });
  return keys;
}

std::string IniFile::Read(const std::string& section, const std::string& key, const std::string& def) const {
  if (path_.empty() || !FileExists(path_)) return def;
  std::string bytes;
  try {
    bytes = ReadFileBytes(path_);
  } catch (const Error&) {
    return def;
  }
  bool inSection = false;
  size_t pos = 0;
  while (pos < bytes.size()) {
    size_t end = bytes.find('\n', pos);
    if (end == std::string::npos) end = bytes.size();
    std::string_view line(bytes.data() + pos, end - pos);
    pos = end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    std::string trimmed = TrimBlanks(line);
    if (!trimmed.empty() && trimmed.front() == '[') {
      size_t close = trimmed.find(']');
      if (close != std::string::npos)
        inSection = SameTextIgnoringCase(TrimBlanks(std::string_view(trimmed).substr(1, close - 1)), section);
      continue;
    }
    if (!inSection) continue;
    size_t eq = trimmed.find('=');
    if (eq == std::string::npos) continue;
    if (!SameTextIgnoringCase(TrimBlanks(std::string_view(trimmed).substr(0, eq)), key)) continue;
    std::string value = Unquote(TrimBlanks(std::string_view(trimmed).substr(eq + 1)));
    if (value.size() > kMaxValue) value.resize(kMaxValue);
    return value;
  }
  return def;
}

Options Options::Load(const IniFile& ini) {
  auto read = [&](const char* key, const std::string& def) { return ini.Read("Options", key, def); };
  Options o;
  o.photoStore = read("PathImages", "c:\\projects\\kord\\images");
  o.photoBaseAddress = read("URLImages", "http://www.groupe-kord.fr/pictlore");
  o.watermarkTargets = AnsiLower(read("FiligraneListExport", ";leboncoin;autoscout24;axecibles;"));
  o.tagTargets = AnsiLower(read("FiligraneListTag", ";annoncesjaunes;sitautopro;"));
  o.tagAllTargets = AnsiLower(read("FiligraneListTagAll", ";annoncesjaunes;sitautopro;"));
  o.atpTargets = AnsiLower(read("FiligraneListTagATP", ";leboncoin;axecibles;"));
  o.dwaGuarantees = read("CstTagDWA", ";Das WeltAuto;");
  int year = ToIntDef(read("DateMaxATP_Year", "2017"), 2017);
  int month = ToIntDef(read("DateMaxATP_Month", "10"), 10);
  int day = ToIntDef(read("DateMaxATP_Day", "31"), 31);
  o.atpMessage = read("MessageATP", Ansi("Profitez des affaires très privées Volkswagen jusqu'au 31 octobre 2017"));
  o.tagSites = AnsiLower(read("SiteListExport", ";all;vardo;quivale;"));
  o.hiddenDiscountSites =
      AnsiLower(read("SiteListExclusionTauxRemise", ";pelmar;pelmar-dorn;pelmar-sauvrel;sauvrel-ni;"));
  if (!IsValidDate(year, month, day)) throw Error("Argument incorrect pour l'encodage de date");
  o.atpEnd = ToDayCount(DateTime{year, month, day}) - 1.0 / 6.0;
  return o;
}

bool Options::AtpRunning(const DateTime& now) const { return ToDayCount(now) < atpEnd; }

}  // namespace tarvelon
