#include "transfer/ftp_delivery.h"

#include "app/run_state.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "transfer/ftp_session.h"

namespace tarvelon {

const char* const kFtpStatusOk = "Transfert FTP OK : ";
const char* const kFtpStatusConnection = "Transfert FTP : Erreur Connexion au serveur. ";
const char* const kFtpStatusTransfer = "Transfert FTP : Erreur lors du transfert. ";

TargetFtpConnection::TargetFtpConnection(RunState& state, FtpTimeouts timeouts)
    : session(timeouts, [&state](const std::string& text) { state.window.AddMemoLine(text); },
              [&state] { state.ProcessMessages(); }) {}

namespace {

TargetFtpConnection& Connection(RunState& state) {
  if (!state.targetFtp) state.targetFtp = std::make_shared<TargetFtpConnection>(state);
  return *state.targetFtp;
}

bool ConnectToTarget(RunState& state, FtpSession& session) {
  const ServerFields& target = state.window.target();
  FtpEndpoint endpoint;
  endpoint.port = ToIntDef(state.ftpPortText, 21);
  SplitServerField(target.server, endpoint.host, endpoint.port);
  endpoint.user = target.user;
  endpoint.password = target.password;
  if (!session.Connect(endpoint)) return false;
  if (target.folder.empty() || session.ChangeFolder(target.folder)) return true;
  // Left open, the next delivery would skip the connection step and send its
  // file into the login folder while reporting success: close it instead.
  session.Disconnect();
  return false;
}

}  // namespace

std::string DeliverFtp(RunState& state, const std::string& file, bool keepOpen) {
  std::string status;
  if (state.ReadSetting("Options", "Debug", "1") == "1") {
    const ServerFields& target = state.window.target();
    state.LogLine("param serveur pour :" + state.exportOption + state.ftpLogSuffix);
    state.LogLine("FTP  :" + target.server);
    state.LogLine("Port :" + state.ftpPortText);
    state.LogLine("User :" + target.user);
    state.LogLine("pwd  :" + target.password);
  }
  if (state.ReadSetting("Options", "NoFTP", "0") == "1") return status;

  FtpSession& session = Connection(state).session;
  if (!session.Connected()) {
    state.window.SetLabel1("Connexion " + state.exportOption + " - on connection");
    bool connected = false;
    try {
      connected = ConnectToTarget(state, session);
    } catch (const std::exception& e) {  // the library could not even start
      state.window.AddMemoLine(e.what());
    }
    if (!connected) status = kFtpStatusConnection;
  }
  if (status.empty()) {
    state.window.SetLabel2(file + " - on transfer");
    if (!session.Store(HostPath(file), FileNameOf(file))) status = kFtpStatusTransfer;
  }
  if (status.empty()) status = kFtpStatusOk;
  if (!keepOpen) session.Disconnect();
  const ServerFields& target = state.window.target();
  state.RecordDelivery(file, target.server + "/" + target.folder, status, status == kFtpStatusOk);
  return status;
}

}  // namespace tarvelon
