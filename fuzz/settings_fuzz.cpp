// The settings reader on a hostile settings file: a few sections and keys,
// and the section and key named by the input itself.
#include "app/config.h"
#include "fuzz_input.h"
#include "platform/errors.h"

using namespace tarvelon;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto parts = fuzz::Parts(data, size, 3);  // file, section, key
  fuzz::ScratchFile file(parts[0]);
  try {
    IniFile ini(file.path());
    ini.Read("Options", "PathImages", "default");
    ini.Read("Pictlore", "ServeurFTP", "");
    ini.Read(parts[1], parts[2], "default");
  } catch (const Error&) {
  }
  return 0;
}
