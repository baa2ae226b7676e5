#pragma once
// SendMail: tells the partner where to fetch the export file. The settings
// come from the sections "StrInfoLog" and "MAIL" of Tarvelon.ini in the
// program's folder; the message is kept as WorkDir + "Sendro\<stamp>.eml"
// (exactly the bytes sent) and sent by SMTP. A sending failure is logged as
// "ERROR: " + its reason and the export goes on; a "Port" that is no integer,
// or an address or subject holding a line break, ends the export.
#include <string>
#include <vector>

namespace tarvelon {

class RunState;

// Built-in values of the mail settings.
extern const char* const kMailDefaultHost;
extern const char* const kMailBlindCopy;  // every message also goes there (envelope only)

// Bounded waits of one submission. A server that accepts and never greets
// costs the connection time-out; one that stops answering (after the message,
// say) costs the reply time-out; the total only bounds a server that keeps
// answering, slowly.
struct SmtpTimeouts {
  long connectSeconds = 30;  // TCP connection and the server's greeting
  long replySeconds = 60;    // waiting for one answer of the server
  long stallSeconds = 60;    // sending the message without a byte moving
  long totalSeconds = 300;
};

void SendMail(RunState& state, const std::string& link, const std::string& summary,
              const SmtpTimeouts& timeouts = {});

// One SMTP submission (libcurl): false with the reason when it failed.
struct SmtpAccount {
  std::string host;
  long port = 25;
  bool login = true;
  std::string user;
  std::string password;
};
class IniFile;
// The mail server and account of section "StrInfoLog" (and "AuthType" of MAIL);
// throws for a port that is no port number.
SmtpAccount ReadMailAccount(const IniFile& settings);

bool SubmitSmtp(RunState& state, const SmtpAccount& account, const std::string& sender,
                const std::vector<std::string>& recipients, const std::string& bytes, std::string& reason,
                const SmtpTimeouts& timeouts = {});

}  // namespace tarvelon
