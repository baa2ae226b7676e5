#include "platform/memory.h"

#include <malloc.h>

namespace tarvelon {

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
}

}  // namespace tarvelon
