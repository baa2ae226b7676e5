#pragma once
// The AutoReflex feed: the stock extract itself, each vehicle completed with
// its reference (as id-VO), its version without the model, the site's public
// contacts, up to six photo links and, when asked, equipment labels; the
// internal sections and site codes removed. No archive: the XML file itself
// is sent, in UTF-8 without an encoding declaration.
#include "app/dispatch.h"
#include <string>

#include "app/run_state.h"

namespace tarvelon {

// Entry of AUTOREFLEX; the option key names the stock extract.
void RunAutoReflexExport(RunState& state, const std::string& optionKey);

// The text edits from the serialized document to the delivered layout.
std::string EditAutoReflexText(std::string text);

SettingsUse AutoReflexSettingsUse();

}  // namespace tarvelon
