// Every server the export would use, reached without a transfer.
#include <algorithm>

#include "exporters/check/preflight.h"
#include "exporters/frame/exporter_frame.h"
#include "platform/numbers.h"
#include "platform/text.h"
#include "transfer/http_post.h"
#include "transfer/reach.h"

namespace tarvelon {
namespace {

bool HasKey(const IniFile& ini, const std::string& section, const std::string& key) {
  for (const std::string& present : ini.Keys(section))
    if (SameTextIgnoringCase(present, key)) return true;
  return false;
}

void AddReach(const std::string& name, bool ok, const std::string& where, const std::string& reason,
              std::vector<CheckRow>& rows) {
  rows.push_back({name, ok ? CheckLevel::Ok : CheckLevel::Failed, ok ? where + ": reached" : where + ": " + reason});
}

// The FTP account of a section; `defaults` stands for keys the section leaves out.
void CheckFtpAccount(const IniFile& ini, const std::string& name, const std::string& section,
                     const DeliveryDefaults* defaults, long port, std::vector<CheckRow>& rows) {
  if (!defaults && !HasKey(ini, section, "ServeurFTP")) {
    rows.push_back({name, CheckLevel::Warning,
                    "[" + section + "] names no ServeurFTP: the export's built-in account, not reached"});
    return;
  }
  const DeliveryDefaults d = defaults ? *defaults : DeliveryDefaults{};
  FtpEndpoint endpoint;
  endpoint.port = port;
  SplitServerField(ini.Read(section, "ServeurFTP", d.server), endpoint.host, endpoint.port);
  endpoint.user = ini.Read(section, "User", d.user);
  endpoint.password = ini.Read(section, "PassWord", d.password);
  const std::string folder = ini.Read(section, "PathFTP", d.folder);
  std::string reason;
  const bool ok = ReachFtp(endpoint, folder, reason);
  AddReach(name, ok, endpoint.user + "@" + endpoint.host + ":" + std::to_string(endpoint.port) + "/" + folder, reason,
           rows);
}

}  // namespace

void CheckServers(const IniFile& ini, const std::string& option, const SettingsUse& use, const ExtractFacts& extract,
                  std::vector<CheckRow>& rows) {
  const DeliveryDefaults imageServer = ImageServerDefaults();
  CheckFtpAccount(ini, "image server [Pictlore]", "Pictlore", &imageServer, 21, rows);

  const bool noFtp = ini.Read("Options", "NoFTP", "0") == "1";
  const bool sendOff = use.mail && ini.Read(option, "TestSend", "1") == "0";
  if (use.targetFtp) {
    if (noFtp || sendOff) {
      rows.push_back({"FTP [" + option + "]", CheckLevel::Ok, noFtp ? "NoFTP=1: nothing is sent" : "TestSend=0: nothing is sent"});
    } else {
      const bool readsPort = !use.targetKeys.empty() && std::find(use.targetKeys.begin(), use.targetKeys.end(),
                                                                  "NumPort") != use.targetKeys.end();
      const long port = readsPort ? ToIntDef(ini.Read(option, "NumPort", "21"), 21) : 21;
      CheckFtpAccount(ini, "FTP [" + option + "]", option, nullptr, port, rows);
    }
  }
  if (use.clientFtp && !noFtp) {
    // The run sends to the clients of the extract; without one, to every client section.
    std::vector<std::string> sections;
    for (const std::string& code : extract.clientCodes) sections.push_back(option + "-" + code);
    if (!extract.loaded) sections = ClientSections(ini, option);
    for (const std::string& section : sections)
      CheckFtpAccount(ini, "FTP [" + section + "]", section, nullptr, 21, rows);
  }

  if (use.mail && !sendOff) {
    try {
      const SmtpAccount account = ReadMailAccount(ini);
      std::string reason;
      const bool ok = ReachSmtp(account, reason);
      AddReach("mail server [StrInfoLog]", ok, account.host + ":" + std::to_string(account.port), reason, rows);
    } catch (const std::exception& e) {
      rows.push_back({"mail server [StrInfoLog]", CheckLevel::Failed, e.what()});
    }
  }
  if (use.vivacarPost) {
    const std::string url = VivacarImportUrl(ini);
    std::string reason;
    AddReach("Vivacar import service", ReachUrl(url, reason), url, reason, rows);
  }
}

}  // namespace tarvelon
