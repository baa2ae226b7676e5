#include "fuzz_input.h"

#include <unistd.h>

#include <cstdio>
#include <stdexcept>

namespace tarvelon::fuzz {

ScratchFile::ScratchFile(const std::string& bytes) {
  char pattern[] = "/tmp/tarvelon-fuzz-XXXXXX";
  int fd = ::mkstemp(pattern);
  if (fd < 0) throw std::runtime_error("mkstemp failed");
  path_ = pattern;
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  ::close(fd);
}

ScratchFile::~ScratchFile() { ::unlink(path_.c_str()); }

}  // namespace tarvelon::fuzz
