#include "support/export_sandbox.h"

#include <filesystem>
#include <stdexcept>

namespace tarvelon::testing {

namespace fs = std::filesystem;

std::string FillTemplate(std::string text, const std::map<std::string, std::string>& values) {
  for (const auto& [key, value] : values) {
    const std::string marker = "@" + key + "@";
    for (size_t at = text.find(marker); at != std::string::npos; at = text.find(marker, at + value.size()))
      text.replace(at, marker.size(), value);
  }
  return text;
}

ExportSandbox::ExportSandbox(std::string now) : now_(std::move(now)) {
  MakeHostFolders(extracts());
  MakeHostFolders(photoStore());
  MakeHostFolders(work());
  MakeHostFolders(program());
  for (const auto& entry : fs::directory_iterator(TARVELON_BINARY_DIR))
    if (entry.path().extension() == ".png") fs::copy_file(entry.path(), program() + "/" + entry.path().filename().string());
}

void ExportSandbox::AddExtract(const std::string& hostFile) {
  fs::copy_file(hostFile, extracts() + "/" + fs::path(hostFile).filename().string(),
                fs::copy_options::overwrite_existing);
}

void ExportSandbox::WriteSettings(std::string text, const std::map<std::string, std::string>& values) {
  WriteHostFile(program() + "/Tarvelon.ini", FillTemplate(std::move(text), values));
}

void ExportSandbox::AddPhoto(const std::string& name, bool withThumbnail, int width, int height) {
  const std::string file = photoStore() + "/" + name + ".jpg";
  MakeHostFolders(fs::path(file).parent_path());
  const std::string size = std::to_string(width) + "x" + std::to_string(height);
  if (RunCommand("/usr/bin/convert -seed 7 -size " + size + " plasma:fractal -quality 70 '" + file + "'") != 0)
    throw std::runtime_error("cannot make photo " + file);
  if (withThumbnail &&
      RunCommand("/usr/bin/convert '" + file + "' -resize 120x90 '" + photoStore() + "/" + name + "m.jpg'") != 0)
    throw std::runtime_error("cannot make thumbnail of " + file);
}

ExportResult ExportSandbox::Run(const std::string& option) const { return RunArguments({option}); }

ExportResult ExportSandbox::RunArguments(const std::vector<std::string>& arguments) const {
  const std::string env = "env PATH=/usr/bin:/bin:$PATH SharedTemp='" + work() + "' TARVELON_HOME='" + program() +
                          "' TARVELON_DRIVE_C='" + drive() + "' TARVELON_NOW='" + now_ + "' ";
  ExportResult result;
  std::string command = env;
  if (timeLimit_ > 0) command += "timeout -s KILL " + std::to_string(timeLimit_) + " ";
  if (!peakMemoryFile_.empty()) command += "/usr/bin/time -q -f %M -o '" + peakMemoryFile_ + "' ";
  command += TARVELON_CLI;
  for (const std::string& argument : arguments) command += " '" + argument + "'";
  result.exitCode = RunCommand(command + " 2>&1", &result.output);
  return result;
}

}  // namespace tarvelon::testing
