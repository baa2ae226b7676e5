#pragma once
// tarvelon --status [--json]: the journal read as an operator or a monitor would.
namespace tarvelon {

constexpr int kExitFlagged = 4;  // something needs an operator

int RunStatusCommand(bool json);

}  // namespace tarvelon
