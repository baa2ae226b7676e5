#pragma once

namespace tarvelon {

// Sets the C library's allocator for runs that build, copy and drop documents
// of tens of megabytes and millions of nodes: freed memory is kept for the
// next document instead of going back to the system and faulting in again,
// the small-block bins that each large free would sweep are not used, and the
// heap's first gigabytes are taken at once and advised for huge pages.
// Called once at start-up, before any document is loaded.
void TuneAllocatorForDocuments();

}  // namespace tarvelon
