#include "platform/memory.h"

#include <malloc.h>

namespace tarvelon {

void TuneAllocatorForDocuments() {
  // Large strings (a document's text) from the heap, up to the largest
  // threshold the allocator takes; beyond it they are mapped as before.
  mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
  // Never give the heap's top back: the next document reuses those pages.
  mallopt(M_TRIM_THRESHOLD, -1);
  // Tree nodes are freed by the million: the per-thread cache serves them,
  // and no fast bin is swept again on every large free.
  mallopt(M_MXFAST, 0);
}

}  // namespace tarvelon
