#pragma once
// A scratch installation for the photo steps: program folder with the mark
// images, work folder, drive C with the photo store, and a PATH on which
// Debian's ImageMagick comes before any stand-in.
#include <string>

#include "app/run_state.h"
#include "support/temp_folder.h"

namespace tarvelon::testing {

class PhotoWorld {
 public:
  PhotoWorld();

  // Selects a target as RunExport would (option in upper case, prefix).
  void SelectTarget(const std::string& option, const std::string& prefix);
  // Draws a JPEG of the given size at store-relative name (host side).
  void MakePhoto(const std::string& name, int width, int height);
  std::string StoreFile(const std::string& name) const;  // host path in the photo store
  std::string WorkFile(const std::string& name) const;   // host path in WorkDir\Tarvelon
  std::string ProgramFile(const std::string& name) const;
  std::string ScriptText() const;  // the last tagging script of the selected prefix
  std::string LogText() const;
  void WriteIni(const std::string& text);

  TempFolder root;
  const std::string programHost;
  const std::string workHost;
  const std::string driveCHost;
  ScopedEnv sharedTemp;
  ScopedEnv home;
  ScopedEnv driveC;
  ScopedEnv path;
  RunState state;
};

// The decoration script's argument form.
inline std::string Q(const std::string& s) { return "'" + s + "'"; }

}  // namespace tarvelon::testing
