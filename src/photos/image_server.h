#pragma once
// The one connection to the group's image server for the whole run. Photo
// names have the shape aaa/bb/name.jpg (folder from characters 1-3 and 5-6,
// file name from character 8). Network failures are silent.
#include <string>

namespace tarvelon {

class RunState;

bool PhotoOnServer(RunState& state, const std::string& name);
void UploadPhoto(RunState& state, const std::string& localFile, const std::string& referencePath);
void RestorePhoto(RunState& state, const std::string& name);

// A photo name that could lead outside the photo store or the server folder
// ("..", an absolute path, a separator where the layout has none).
bool IsSafePhotoName(const std::string& name);

}  // namespace tarvelon
