#pragma once
// Reaching a server without using it: the preflight's way of telling whether
// an export's delivery would find its servers. Nothing is sent beyond the
// greeting exchange (FTP login and folder change, SMTP EHLO, a TCP/TLS
// connection for HTTP).
#include <string>

#include "transfer/ftp_session.h"
#include "transfer/mail_delivery.h"

namespace tarvelon {

// Logs in and, when the folder is not empty, changes into it; then QUIT.
// False with the reason when a step failed.
bool ReachFtp(const FtpEndpoint& endpoint, const std::string& folder, std::string& reason);
// Connects and exchanges the greeting and EHLO, no login and no mail.
bool ReachSmtp(const SmtpAccount& account, std::string& reason);
// Opens the connection the url names (TLS included for https), no request.
bool ReachUrl(const std::string& url, std::string& reason);

}  // namespace tarvelon
