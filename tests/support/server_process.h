#pragma once
// The child-process side of the loopback test servers: started, waited for
// until ready, stopped by process id.
#include <functional>
#include <string>
#include <vector>

namespace tarvelon::testing {

// Spawns arguments[0] with the arguments and polls `ready` for up to 10 s
// (the interpreter's start). Throws, naming the server and adding what
// `diagnostics` tells, when it cannot start, ends first or never gets ready.
// Answers the process id.
int StartServerProcess(const std::vector<std::string>& arguments, const std::string& name,
                       const std::function<bool()>& ready, const std::function<std::string()>& diagnostics = {});

// Ends the process (SIGTERM), waits for it and sets `pid` to -1; nothing when it is not running.
void StopServerProcess(int& pid);

}  // namespace tarvelon::testing
