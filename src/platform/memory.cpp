#include "platform/memory.h"

#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>

namespace tarvelon {
namespace {

constexpr uintptr_t kHugePage = uintptr_t(1) << 21;

// The heap's address space a run fills first: room for the peak of a run of
// ten thousand vehicles and more, up to a quarter of the memory.
size_t HeapReserve() {
  const long pages = ::sysconf(_SC_PHYS_PAGES), pageSize = ::sysconf(_SC_PAGESIZE);
  const size_t quarter = pages > 0 && pageSize > 0 ? static_cast<size_t>(pages) * static_cast<size_t>(pageSize) / 4 : 0;
  const size_t most = size_t(2) << 30;
  return quarter < most ? quarter : most;
}

// Grows the heap by the reserve at once (address space only: a page costs
// nothing until it is written) and asks for huge pages over it, so that
// filling it costs a fault per 2 MB instead of one per 4 KB. Where faults are
// slow, as in a virtual machine, they took a third of an XML feed's time.
void ReserveHeapInHugePages() {
#if !defined(__SANITIZE_ADDRESS__)
  const size_t reserve = HeapReserve();
  if (reserve < (size_t(64) << 20)) return;
  const uintptr_t start = reinterpret_cast<uintptr_t>(::sbrk(0));
  void* block = std::malloc(reserve);  // from the heap: large blocks are never mapped apart
  if (!block) return;
  std::free(block);  // back into the heap's top, which is never given back
  const uintptr_t end = reinterpret_cast<uintptr_t>(::sbrk(0));
  const uintptr_t first = (start + kHugePage - 1) & ~(kHugePage - 1);
  if (end > first) ::madvise(reinterpret_cast<void*>(first), end - first, MADV_HUGEPAGE);  // a hint: may be refused
#endif
}

}  // namespace

void TuneAllocatorForDocuments() {
  // Large blocks (a document's text) from the heap as well, never mapped
  // apart: a mapped block costs a fault per page each time, and is given
  // back on free.
  mallopt(M_MMAP_MAX, 0);
  // Never give the heap's top back: the next document reuses those pages.
  mallopt(M_TRIM_THRESHOLD, -1);
  // Tree nodes are freed by the million: the per-thread cache serves them,
  // and no fast bin is swept again on every large free.
  mallopt(M_MXFAST, 0);
  ReserveHeapInHugePages();
}

}  // namespace tarvelon
