#pragma once
// Hostile values for the sweeps through the tarvelon binary: texts that would
// run a command, leave a folder or break a line if they were trusted, the
// extracts and settings that carry them, and folder snapshots that show what
// a run wrote where.
#include <map>
#include <string>
#include <vector>

namespace tarvelon::testing {

// Every command in these values would create a file whose name starts with
// "pwned": in `canaryFolder`, or in the folder the command runs in. The path
// values point at canaryFolder + "/secret" (there as secret.jpg).
std::vector<std::string> HostileValues(const std::string& canaryFolder);

// Text escaped for XML content; CR, LF and TAB as character references.
std::string XmlText(const std::string& text);

// The extract with the text of every element named in `elements` replaced by
// a hostile value, except each name's first occurrence (so that some of the
// stock stays ordinary): the k-th by values[(k + shift) % n]. A photo name
// keeps its "aaa/bb/" folders in front of the value. Answers the new text.
std::string HostileExtract(const std::string& xml, const std::vector<std::string>& elements,
                           const std::vector<std::string>& values, int shift);

// The texts of the named elements in an extract (unescaped), in document order.
std::vector<std::string> ElementTexts(const std::string& xml, const std::vector<std::string>& elements);

// Path (relative to the folder) → size and content digest of every file and
// folder under it.
using FolderSnapshot = std::map<std::string, std::string>;
FolderSnapshot Snapshot(const std::string& hostFolder);
// Paths added, removed or changed between two snapshots, except under the
// allowed relative prefixes.
std::vector<std::string> ChangesOutside(const FolderSnapshot& before, const FolderSnapshot& after,
                                        const std::vector<std::string>& allowed);
// Files and folders under the folder whose name starts with the prefix.
std::vector<std::string> NamesStartingWith(const std::string& hostFolder, const std::string& prefix);
// Files under the folder whose content holds the marker.
std::vector<std::string> FilesHolding(const std::string& hostFolder, const std::string& marker);

}  // namespace tarvelon::testing
