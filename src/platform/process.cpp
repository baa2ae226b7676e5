#include "platform/process.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <thread>

#include "platform/errors.h"
#include "platform/files.h"

extern char** environ;

namespace tarvelon {
namespace {

std::vector<char*> ArgvOf(std::vector<std::string>& args) {
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  return argv;
}

}  // namespace

int RunAndWaitHost(const std::string& hostFile, const std::vector<std::string>& args,
                   const std::function<void()>& pump) {
  std::vector<std::string> full;
  if (::access(hostFile.c_str(), X_OK) == 0) {
    full.push_back(hostFile);
  } else {
    full = {"/bin/sh", hostFile};
  }
  full.insert(full.end(), args.begin(), args.end());
  struct stat st;
  if (::stat(hostFile.c_str(), &st) != 0) throw Error(hostFile + " : " + SystemErrorText(errno));
  auto argv = ArgvOf(full);
  // The program may run from a scheduler without anyone at a terminal: a
  // child that asks for input (a password prompt) reads an end of file
  // instead of waiting for ever.
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  pid_t pid = 0;
  int rc = ::posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  if (rc == ENOEXEC && full[0] == hostFile) {
    // An executable script without "#!" line: the shell runs it.
    full.insert(full.begin(), "/bin/sh");
    argv = ArgvOf(full);
    rc = ::posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  }
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) throw Error(hostFile + " : " + SystemErrorText(rc));
  int status = 0;
  while (true) {
    pid_t done = ::waitpid(pid, &status, WNOHANG);
    if (done == pid) break;
    if (done < 0 && errno != EINTR) return -1;
    if (pump) pump();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool CaptureOutput(const std::vector<std::string>& args, std::string& output) {
  int pipefd[2];
  if (::pipe(pipefd) != 0) return false;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipefd[1], 1);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addclose(&actions, pipefd[0]);
  std::vector<std::string> copy = args;
  auto argv = ArgvOf(copy);
  pid_t pid = 0;
  int rc = ::posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(pipefd[1]);
  if (rc != 0) {
    ::close(pipefd[0]);
    return false;
  }
  char buffer[4096];
  ssize_t n;
  output.clear();
  while ((n = ::read(pipefd[0], buffer, sizeof buffer)) > 0) output.append(buffer, static_cast<size_t>(n));
  ::close(pipefd[0]);
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {}
  return WIFEXITED(status);
}

}  // namespace tarvelon
