#pragma once
// Running another program and waiting for it while the caller keeps its
// window alive.
#include <functional>
#include <string>
#include <vector>

namespace tarvelon {

// Runs an executable file directly and any other file with /bin/sh, with the
// arguments as separate argv entries (never through a shell command line).
// Its standard input is /dev/null. Checks every 50 ms whether it ended,
// calling `pump` between checks.
// Returns the exit status; throws Error with the system's text when it
// cannot be started.
int RunAndWaitHost(const std::string& hostFile, const std::vector<std::string>& args,
                   const std::function<void()>& pump);

// Runs a command and captures its standard output (for version probes).
// Returns false when it could not be started or did not exit normally.
bool CaptureOutput(const std::vector<std::string>& argv, std::string& output);

}  // namespace tarvelon
