#pragma once
// DeliverFtp: sends one file to the target's FTP server (the FtpTarget held in
// the window's export-server edits and the run-wide port text) and answers a
// status text. Never throws for a network failure.
#include <string>

#include "transfer/ftp_session.h"

namespace tarvelon {

class RunState;

// Export files are sent to partners' servers across the internet: a server
// that does not answer within these limits is not coming back during a run.
// No limit on the whole transfer, so a large archive on a slow line is fine
// as long as bytes keep moving.
inline constexpr FtpTimeouts kTargetFtpTimeouts{30, 60, 60};

// The delivery connection of the run (the window's second FTP client). The
// first delivery makes it with the shipped time-outs unless the caller put
// one with other time-outs in the run state beforehand.
class TargetFtpConnection {
 public:
  explicit TargetFtpConnection(RunState& state, FtpTimeouts timeouts = kTargetFtpTimeouts);
  FtpSession session;
};

extern const char* const kFtpStatusOk;          // "Transfert FTP OK : "
extern const char* const kFtpStatusConnection;  // "Transfert FTP : Erreur Connexion au serveur. "
extern const char* const kFtpStatusTransfer;    // "Transfert FTP : Erreur lors du transfert. "

std::string DeliverFtp(RunState& state, const std::string& file, bool keepOpen);

}  // namespace tarvelon
