#pragma once
// DeliverFtp: sends one file to the target's FTP server (the FtpTarget held in
// the window's export-server edits and the run-wide port text) and answers a
// status text. Never throws for a network failure.
#include <string>

namespace tarvelon {

class RunState;

extern const char* const kFtpStatusOk;          // "Transfert FTP OK : "
extern const char* const kFtpStatusConnection;  // "Transfert FTP : Erreur Connexion au serveur. "
extern const char* const kFtpStatusTransfer;    // "Transfert FTP : Erreur lors du transfert. "

std::string DeliverFtp(RunState& state, const std::string& file, bool keepOpen);

}  // namespace tarvelon
