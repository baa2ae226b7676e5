#include "transfer/mail_delivery.h"

#include "app/config.h"
#include "app/run_state.h"
#include "platform/clock.h"
#include "platform/errors.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "transfer/mail_message.h"

namespace tarvelon {

const char* const kMailDefaultHost = "smtp.groupe-kord.fr";
const char* const kMailBlindCopy = "support-exports@groupe-kord.fr";

namespace {

const char* const kInfo = "StrInfoLog";

long SmtpPort(const std::string& text) {
  long long port = 0;
  if (!TryParseInt(Trim(text), port) || port < 1 || port > 65535)
    throw Error(Ansi("Port du serveur de mail incorrect : ") + text);
  return static_cast<long>(port);
}

std::string Body(const std::string& link) {
  return Ansi("<body>Bonjour,<br><br>ci-joint le lien vers le fichier de la <a href=\"") + HtmlEscape(link) +
         Ansi("\">liste des véhicules au format CSV</a>, <br><br>Merci d'avance<br><br>Sincères Salutations</body>");
}

}  // namespace

SmtpAccount ReadMailAccount(const IniFile& settings) {
  SmtpAccount account;
  account.host = settings.Read(kInfo, "Host", kMailDefaultHost);
  account.port = SmtpPort(settings.Read(kInfo, "Port", "25"));
  account.user = settings.Read(kInfo, "Username", "exports@groupe-kord.fr");
  account.password = settings.Read(kInfo, "Password", "kord-exports");
  account.login = settings.Read("MAIL", "AuthType", "") != "none";
  return account;
}

void SendMail(RunState& state, const std::string& link, const std::string& summary, const SmtpTimeouts& timeouts) {
  // Read at each call, apart from the run's settings object.
  const IniFile settings(ProgramFolder() + "Tarvelon.ini");
  state.window.ClearMemo();

  const SmtpAccount account = ReadMailAccount(settings);

  const std::string sendTo = settings.Read(kInfo, "SendTO", "stock@neowebcar.fr");
  const std::string sendCc = settings.Read(kInfo, "SendCC", "exports@groupe-kord.fr");
  std::string subject = settings.Read(kInfo, "Subject", Ansi("NeoWebCar : fichier pour mise à jour"));
  if (!summary.empty()) subject += " - " + summary;
  const std::string from = settings.Read(kInfo, "From", "exports@groupe-kord.fr");

  MailMessage message;
  message.from = from;
  if (!sendTo.empty()) {
    message.to = sendTo;
    message.cc = sendCc;
  } else {
    message.to = settings.Read("MAIL", "TO", "exports@groupe-kord.fr");
  }
  message.subject = subject;
  message.htmlBody = Body(link);
  RequireHeaderSafe(message.from, "From");
  RequireHeaderSafe(message.to, sendTo.empty() ? "TO" : "SendTO");
  RequireHeaderSafe(message.cc, "SendCC");
  RequireHeaderSafe(message.subject, "Subject");
  RequireHeaderSafe(account.host, "Host");

  std::vector<std::string> recipients = SplitAddresses(message.to);
  for (const auto& cc : SplitAddresses(message.cc)) recipients.push_back(cc);
  recipients.push_back(kMailBlindCopy);

  const DateTime now = Now();
  const std::string bytes = ComposeMimeMessage(message, now, MakeMessageId(now, from));
  const std::string folder = WorkDir() + "Sendro";
  CreateFolders(folder);
  WriteFileBytes(folder + "\\" + FormatStamp(now, "yyyymmddhhnnss") + ".eml", bytes);
  std::string memo;
  for (const auto& line : state.window.memo()) memo += line + "\r\n";
  WriteFileBytes(folder + "\\Mail.html", memo);

  state.window.ClearMemo();
  state.window.AddMemoLine("Fin de traitement : ");
  if (!sendTo.empty()) state.window.AddMemoLine(Ansi("mail envoyé à : ") + sendTo);

  std::string reason;
  const bool sent = SubmitSmtp(state, account, from, recipients, bytes, reason, timeouts);
  state.RecordDelivery(folder + "\\" + FormatStamp(now, "yyyymmddhhnnss") + ".eml", "smtp://" + account.host,
                       sent ? "mail sent" : "ERROR: " + reason, sent);
  if (!sent) state.LogLine("ERROR: " + reason);
}

}  // namespace tarvelon
