#pragma once
// Helpers shared by the fuzz entry functions: split one input into parts and
// hold a scratch file for the readers that take a path.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tarvelon::fuzz {

// The input cut at each NUL byte into at most `count` parts (missing parts empty).
inline std::vector<std::string> Parts(const uint8_t* data, size_t size, size_t count) {
  std::vector<std::string> parts(1);
  for (size_t i = 0; i < size; ++i) {
    if (data[i] == 0 && parts.size() < count) parts.emplace_back();
    else parts.back() += static_cast<char>(data[i]);
  }
  parts.resize(count);
  return parts;
}

// A file of the process's own under /tmp holding the bytes; removed by the destructor.
class ScratchFile {
 public:
  explicit ScratchFile(const std::string& bytes);
  ~ScratchFile();
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

}  // namespace tarvelon::fuzz

// The entry function every target defines (libFuzzer's name).
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
