#pragma once
// File and process operations of the exporters and the photo steps. Paths are
// logical (see HostPath).
#include <cstdint>
#include <string>
#include <vector>

namespace tarvelon {

class RunState;

// Creates or empties the file and writes the bytes; the folder must exist. Throws.
void WriteTextFile(const std::string& path, const std::string& text);
// Creates the folder and its parents, then writes the file. A failure is
// logged with the path and reason and ends the export (throws), so that a
// stale or missing file is never packed and delivered as if fresh.
void WriteAnsiStringToFile(RunState& state, const std::string& text, const std::string& path);
void CopyFileStream(const std::string& source, const std::string& target);  // throws
// Empties the folder recursively (sub-folders stay); never fails, never
// follows a link out of the folder.
bool ClearFolder(const std::string& folder);
// Milliseconds since the last write, or 2327 when missing or in the future.
int64_t FileAgeMs(const std::string& path);
// Width and height from the JPEG frame header; untouched when not found.
void JpegSize(const std::string& path, int& width, int& height);
// Runs the file (a script through /bin/sh) with separate arguments and waits,
// letting the window process its messages. A start failure is shown to the
// operator (message box / stderr) and the call returns.
void RunAndWait(RunState& state, const std::string& file, const std::vector<std::string>& parameters);

}  // namespace tarvelon
