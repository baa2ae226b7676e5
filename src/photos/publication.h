#pragma once
// Keeps the local photo store and the image server in step, one photo at a time.
#include <string>

namespace tarvelon {

class RunState;

void SyncServerPhoto(RunState& state, const std::string& name);
void ExportVehiclePhoto(RunState& state, int n, const std::string& photoFileName, const std::string& tagText,
                        const std::string& discountText, const std::string& siteText,
                        const std::string& reference);

}  // namespace tarvelon
