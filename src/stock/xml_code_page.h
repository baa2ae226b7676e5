#pragma once
// Windows-1252 for libxml2 without iconv: the extracts are written in that
// code page, and iconv's general machinery costs as much as a third of
// reading them. Both directions give exactly what iconv gives: the five
// bytes the code page leaves unassigned (0x81, 0x8D, 0x8F, 0x90, 0x9D) are
// refused on reading, characters it lacks are refused on writing (libxml2
// then writes a character reference, as it does after iconv), and the
// language tag characters U+E0000 to U+E007F are dropped, as iconv drops them.

namespace tarvelon {

// Registers both directions under "WINDOWS-1252" and "CP1252" (once).
void RegisterWindows1252CodePage();

// libxml2's conversion conventions: *inlen and *outlen come in as the sizes
// and go out as the bytes read and written; the result is the bytes written,
// or -2 at a byte or character that cannot be converted (the counts then stop
// before it). Output space that runs out ends the call early, with no error.
int DecodeWindows1252(unsigned char* out, int* outlen, const unsigned char* in, int* inlen);
int EncodeWindows1252(unsigned char* out, int* outlen, const unsigned char* in, int* inlen);

}  // namespace tarvelon
