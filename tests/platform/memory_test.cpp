#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/memory.h"

namespace tarvelon {
namespace {

// The kernel's flags of the mapping holding `address` ("rd wr mr ... hg").
std::string MappingFlags(const void* address) {
  const auto at = reinterpret_cast<uintptr_t>(address);
  std::ifstream maps("/proc/self/smaps");
  bool inside = false;
  for (std::string line; std::getline(maps, line);) {
    uintptr_t low = 0, high = 0;
    char dash = 0;
    std::istringstream range(line);
    if (range >> std::hex >> low >> dash >> high && dash == '-') inside = low <= at && at < high;
    if (inside && line.rfind("VmFlags:", 0) == 0) return line.substr(8) + " ";
  }
  return "";
}

// A document's text and nodes land in the heap the allocator set up, which
// asks for huge pages: filling it must not cost a fault per 4 KB page.
TEST(Allocator, DocumentsFillAHeapAdvisedForHugePages) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the sanitizer's allocator stands in for the heap";
#endif
  if (!std::filesystem::exists("/sys/kernel/mm/transparent_hugepage/enabled"))
    GTEST_SKIP() << "this kernel has no huge pages";
  TuneAllocatorForDocuments();
  std::vector<char> text(size_t(64) << 20, 'x');
  std::vector<std::string> nodes(1000, std::string(100, 'n'));
  // A large block mapped apart would carry no such advice.
  const char* middle = text.data() + text.size() / 2;  // its start may lie below the advised part
  EXPECT_NE(MappingFlags(middle).find(" hg "), std::string::npos) << MappingFlags(middle);
  EXPECT_NE(MappingFlags(nodes.back().data()).find(" hg "), std::string::npos);
}

}  // namespace
}  // namespace tarvelon
