#include "support/photo_world.h"

#include <filesystem>
#include <stdexcept>

#include "platform/text.h"

namespace fs = std::filesystem;

namespace tarvelon::testing {

PhotoWorld::PhotoWorld()
    : programHost(root / "program"),
      workHost(root / "work"),
      driveCHost(root / "c"),
      sharedTemp("SharedTemp", workHost.c_str()),
      home("TARVELON_HOME", programHost.c_str()),
      driveC("TARVELON_DRIVE_C", driveCHost.c_str()),
      path("PATH", "/usr/bin:/usr/local/bin:/bin") {
  MakeHostFolders(programHost);
  MakeHostFolders(workHost + "/Tarvelon");
  MakeHostFolders(driveCHost + "/projects/kord/images");
  for (const auto& entry : fs::directory_iterator(fs::path(TARVELON_SOURCE_DIR) / "marks"))
    if (entry.path().extension() == ".png") fs::copy_file(entry.path(), fs::path(programHost) / entry.path().filename());
  state.config = IniFile(programHost + "/Tarvelon.ini");
  state.options = Options::Load(state.config);
  // A closed local port: the image server is unreachable unless a test says otherwise.
  state.window.SetImageServer({"127.0.0.1:1", "anonymous", "none", "www/pictlore"});
}

void PhotoWorld::SelectTarget(const std::string& option, const std::string& prefix) {
  state.exportOption = option;
  state.exportOptionLower = AnsiLower(option);
  state.referencePrefix = prefix;
}

void PhotoWorld::MakePhoto(const std::string& name, int width, int height) {
  const std::string scratch = root / "scratch.jpg";
  const std::string command = "/usr/bin/convert -size " + std::to_string(width) + "x" + std::to_string(height) +
                              " gradient:skyblue-navy -quality 85 " + scratch;
  if (RunCommand(command) != 0) throw std::runtime_error("cannot draw " + name);
  const fs::path target = StoreFile(name);
  fs::create_directories(target.parent_path());
  fs::rename(scratch, target);
}

std::string PhotoWorld::StoreFile(const std::string& name) const {
  return driveCHost + "/projects/kord/images/" + name;
}

std::string PhotoWorld::WorkFile(const std::string& name) const { return workHost + "/Tarvelon/" + name; }

std::string PhotoWorld::ProgramFile(const std::string& name) const { return programHost + "/" + name; }

std::string PhotoWorld::ScriptText() const { return ReadHostFile(WorkFile(state.referencePrefix + "goMagick.bat")); }

std::string PhotoWorld::LogText() const {
  return ReadHostFile(workHost + "/MarqueUpdate" + state.exportOption + ".log");
}

void PhotoWorld::WriteIni(const std::string& text) { WriteHostFile(programHost + "/Tarvelon.ini", text); }

}  // namespace tarvelon::testing
