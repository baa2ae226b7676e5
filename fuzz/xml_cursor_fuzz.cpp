// The XML cursor on hostile text: load, select with an expression of the
// input, walk, read, change, serialize and save. Errors are the cursor's
// exceptions; anything else (a crash, a sanitizer report) is a finding.
#include "fuzz_input.h"
#include "platform/errors.h"
#include "stock/xml_cursor.h"

using namespace tarvelon;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto parts = fuzz::Parts(data, size, 3);  // document, expression, value
  try {
    IXMLCursor document;
    document.LoadXML(parts[0]);
    IXMLCursor list = document.Select(parts[1].empty() ? "/*" : parts[1]);
    for (int i = 0; i < 50 && !list.Eof(); ++i, list.Next()) {
      list.GetValue(parts[2].empty() ? "." : parts[2]);
      list.GetXML();
      list.SetValue("fuzz", parts[2]);
      list.SetAttribute("fuzz", parts[2]);
    }
    document.Select("/*").GetXML();
    fuzz::ScratchFile saved("");
    document.Save(saved.path());
  } catch (const Error&) {
  }
  return 0;
}
