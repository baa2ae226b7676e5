#include "support/server_process.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace tarvelon::testing {

int StartServerProcess(const std::vector<std::string>& arguments, const std::string& name,
                       const std::function<bool()>& ready, const std::function<std::string()>& diagnostics) {
  std::vector<std::string> args = arguments;
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid;
  if (::posix_spawn(&pid, args[0].c_str(), nullptr, nullptr, argv.data(), environ) != 0)
    throw std::runtime_error("cannot start " + name);
  int running = pid;
  for (int i = 0; i < 200; ++i) {
    if (ready()) return running;
    int status;
    if (::waitpid(pid, &status, WNOHANG) == pid)
      throw std::runtime_error(name + " ended at start" + (diagnostics ? ": " + diagnostics() : std::string()));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  StopServerProcess(running);
  throw std::runtime_error(name + " did not start");
}

void StopServerProcess(int& pid) {
  if (pid <= 0) return;
  ::kill(pid, SIGTERM);
  int status;
  ::waitpid(pid, &status, 0);
  pid = -1;
}

}  // namespace tarvelon::testing
