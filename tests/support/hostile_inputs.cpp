#include "support/hostile_inputs.h"

#include "platform/text.h"

#include <algorithm>
#include <filesystem>
#include <functional>

#include "support/temp_folder.h"

namespace tarvelon::testing {

namespace fs = std::filesystem;

std::vector<std::string> HostileValues(const std::string& canaryFolder) {
  const std::string& c = canaryFolder;
  std::string up;
  for (int i = 0; i < 16; ++i) up += "../";
  return {
      "$(touch " + c + "/pwned-dollar)",
      "`touch " + c + "/pwned-backtick`",
      "a;touch " + c + "/pwned-semi|touch " + c + "/pwned-pipe&touch " + c + "/pwned-amp>" + c + "/pwned-gt<x",
      "it's \"q\" '; touch " + c + "/pwned-quote; '\"; touch " + c + "/pwned-dquote; \"",
      up + c.substr(1) + "/secret",
      c + "/secret",
      "c:\\outside\\drive",
      "\\\\server\\share\\unc",
      "cr\rlf\ntab\tend\r\nX-Injected: yes",
      std::string(100000, 'L'),
      // Plain file names (no separator): these reach the scripts as names.
      "$(touch pwned-rel-dollar)`touch pwned-rel-tick`;touch pwned-rel-semi|touch pwned-rel-pipe&touch pwned-rel-amp",
      "x' ; touch pwned-rel-quote ; '\" ; touch pwned-rel-dquote ; \"",
  };
}

std::string XmlText(const std::string& text) {
  // Line breaks and tabs as references, so that they survive attribute values too.
  std::string out;
  for (char c : EscapeMarkup(text)) {
    if (c == '\r') out += "&#13;";
    else if (c == '\n') out += "&#10;";
    else if (c == '\t') out += "&#9;";
    else out += c;
  }
  return out;
}

namespace {

std::string Unescaped(std::string text) {
  for (const auto& [from, to] : {std::pair{"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&apos;", "'"},
                                 {"&#13;", "\r"}, {"&#10;", "\n"}, {"&#9;", "\t"}, {"&amp;", "&"}})
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + 1))
      text.replace(at, std::string(from).size(), to);
  return text;
}

// Calls found(name, textStart, textEnd) for each <name>text</name>
// of the named elements (text without markup), in document order. A plain
// scan: the texts may be 100 000 characters long.
void ForEachElement(const std::string& xml, const std::vector<std::string>& elements,
                    const std::function<void(const std::string&, size_t, size_t)>& found) {
  for (size_t at = xml.find('<'); at != std::string::npos; at = xml.find('<', at + 1)) {
    const size_t close = xml.find('>', at);
    if (close == std::string::npos) return;
    const std::string name = xml.substr(at + 1, close - at - 1);
    if (std::find(elements.begin(), elements.end(), name) == elements.end()) continue;
    const size_t textEnd = xml.find('<', close);
    if (textEnd == std::string::npos || xml.compare(textEnd, name.size() + 3, "</" + name + ">") != 0) continue;
    found(name, close + 1, textEnd);
    at = textEnd;
  }
}

}  // namespace

std::string HostileExtract(const std::string& xml, const std::vector<std::string>& elements,
                           const std::vector<std::string>& values, int shift) {
  std::map<std::string, int> seen;
  std::string out;
  size_t copied = 0;
  ForEachElement(xml, elements, [&](const std::string& name, size_t textStart, size_t textEnd) {
    const int k = seen[name]++;
    if (k == 0) return;
    std::string value = values[(k + shift) % values.size()];
    if (name == "NomImage") value = xml.substr(textStart, std::min<size_t>(7, textEnd - textStart)) + value;
    out.append(xml, copied, textStart - copied);
    out += XmlText(value);
    copied = textEnd;
  });
  out.append(xml, copied, std::string::npos);
  return out;
}

std::vector<std::string> ElementTexts(const std::string& xml, const std::vector<std::string>& elements) {
  std::vector<std::string> texts;
  ForEachElement(xml, elements, [&](const std::string&, size_t textStart, size_t textEnd) {
    texts.push_back(Unescaped(xml.substr(textStart, textEnd - textStart)));
  });
  return texts;
}

FolderSnapshot Snapshot(const std::string& hostFolder) {
  FolderSnapshot snapshot;
  for (const auto& entry : fs::recursive_directory_iterator(hostFolder)) {
    const std::string relative = fs::relative(entry.path(), hostFolder).string();
    if (entry.is_symlink()) {
      snapshot[relative] = "link " + fs::read_symlink(entry.path()).string();
    } else if (entry.is_directory()) {
      snapshot[relative] = "folder";
    } else {
      const std::string bytes = ReadHostFile(entry.path().string());
      snapshot[relative] = std::to_string(bytes.size()) + " " + std::to_string(std::hash<std::string>()(bytes));
    }
  }
  return snapshot;
}

std::vector<std::string> ChangesOutside(const FolderSnapshot& before, const FolderSnapshot& after,
                                        const std::vector<std::string>& allowed) {
  auto isAllowed = [&](const std::string& path) {
    for (const std::string& prefix : allowed)
      if (path == prefix || path.rfind(prefix + "/", 0) == 0) return true;
    return false;
  };
  std::vector<std::string> changes;
  for (const auto& [path, digest] : after) {
    auto old = before.find(path);
    if (!isAllowed(path) && (old == before.end() || old->second != digest))
      changes.push_back((old == before.end() ? "added " : "changed ") + path);
  }
  for (const auto& [path, digest] : before)
    if (!isAllowed(path) && !after.count(path)) changes.push_back("removed " + path);
  return changes;
}

std::vector<std::string> NamesStartingWith(const std::string& hostFolder, const std::string& prefix) {
  std::vector<std::string> names;
  for (const auto& entry : fs::recursive_directory_iterator(hostFolder))
    if (entry.path().filename().string().rfind(prefix, 0) == 0) names.push_back(entry.path().string());
  return names;
}

std::vector<std::string> FilesHolding(const std::string& hostFolder, const std::string& marker) {
  std::vector<std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(hostFolder))
    if (entry.is_regular_file() && ReadHostFile(entry.path().string()).find(marker) != std::string::npos)
      files.push_back(entry.path().string());
  return files;
}

}  // namespace tarvelon::testing
