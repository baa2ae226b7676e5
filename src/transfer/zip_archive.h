#pragma once
// The exporters' packaging sequence: delete an existing archive, add one file
// or every file of a folder (entry = folder + "\*.*"), deflate level 9 under
// bare names, then the memo line "Fichier " + archive + " créé".
#include <string>

namespace tarvelon {

class RunState;

void MakeZip(RunState& state, const std::string& zipPath, const std::string& entry);

}  // namespace tarvelon
