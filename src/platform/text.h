#pragma once
// The program holds its texts as Windows-1252 byte strings. These helpers are
// the only way between that code page and UTF-8 (source literals, the console,
// the window toolkit, host file names).
#include <string>
#include <string_view>

namespace tarvelon {

// UTF-8 to Windows-1252; a character the code page lacks becomes "?".
std::string Utf8ToAnsi(std::string_view utf8);
// Windows-1252 to UTF-8.
std::string AnsiToUtf8(std::string_view ansi);
// A French literal of the source (UTF-8) as the program's text.
inline std::string Ansi(std::string_view utf8) { return Utf8ToAnsi(utf8); }

// Unicode code point of one Windows-1252 byte, and back ('?' when absent).
char32_t AnsiToCodePoint(unsigned char c);
char CodePointToAnsi(char32_t cp);

// Case rules of the code page (accented letters included).
std::string AnsiUpper(std::string_view s);
std::string AnsiLower(std::string_view s);
// Letters a to z alone turned to capitals.
std::string AsciiUpper(std::string_view s);
bool SameTextIgnoringCase(std::string_view a, std::string_view b);

// Plain text helpers used throughout the exporters.
std::string Trim(std::string_view s);  // blanks and control characters at both ends
bool StartsWith(std::string_view s, std::string_view prefix);
bool EndsWith(std::string_view s, std::string_view suffix);
bool Contains(std::string_view s, std::string_view part);
// Every occurrence of `from` replaced by `to`; with ignoreCase the search ignores case.
std::string ReplaceAll(std::string_view s, std::string_view from, std::string_view to,
                       bool ignoreCase = false);
// The same on a text handed over, done in its own block when it has the room:
// a text of tens of MB is neither copied when nothing is found nor built anew.
std::string ReplaceAllInText(std::string s, std::string_view from, std::string_view to, bool ignoreCase = false);
// Position (0-based) of `part` ignoring case, or npos.
size_t FindIgnoringCase(std::string_view s, std::string_view part, size_t from = 0);
// Strict integer reading: optional sign and digits only, or nothing.
bool TryParseInt(std::string_view s, long long& out);
int ToIntDef(std::string_view s, int def);

// "&", "<", ">" and '"' as the entities of XML and HTML text and attributes.
std::string EscapeMarkup(const std::string& text);

}  // namespace tarvelon
