#include "photos/image_server.h"

#include <chrono>

#include "app/run_state.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "transfer/ftp_session.h"

namespace tarvelon {
namespace {

// A run checks thousands of photos, each with its own calls, so a server that
// does not answer must cost seconds, not minutes: the image server is one
// known host that answers within milliseconds when it is up. 5 s to connect,
// 10 s for a reply, 15 s without a byte moving during a photo transfer.
constexpr FtpTimeouts kImageServerTimeouts{5, 10, 15};
// After a failed connection the calls of the next 30 s fail at once instead
// of trying again: with a server that is down (or refuses the login, which
// servers answer slowly on purpose) the run then loses at most one time-out
// per 30 s instead of one per photo.
constexpr std::chrono::seconds kRetryPause{30};

using Clock = std::chrono::steady_clock;

}  // namespace

// The image-server connection of the run (the window's first FTP client).
class ImageServerConnection {
 public:
  explicit ImageServerConnection(RunState& state)
      : session(kImageServerTimeouts, [&state](const std::string& text) { state.window.AddMemoLine(text); },
                [&state] { state.ProcessMessages(); }) {}

  FtpSession session;
  std::string serverPhotoFolder;  // ServerPhotoFolder
  // The last folder the server refused to enter (missing on the server). A
  // failed change leaves the server where it was, so it is not the current
  // folder; photos of that folder in a row fail at once instead of asking
  // again for each photo. Uploads never create folders, so nothing in the run
  // can make it appear.
  std::string refusedFolder;
  Clock::time_point nextAttempt{};
};

namespace {

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

// A path part that names one entry inside its folder and nothing else.
bool IsPlainPart(const std::string& part) {
  if (part.empty() || part.find_first_not_of('.') == std::string::npos) return false;  // "", ".", ".."
  for (unsigned char c : part)
    if (IsSeparator(static_cast<char>(c)) || c == ':' || c < 0x20 || c == 0x7f) return false;
  return true;
}

std::string FirstFolder(const std::string& name) { return name.substr(0, 3); }
std::string SecondFolder(const std::string& name) { return name.substr(4, 2); }
std::string ServerFileName(const std::string& name) { return name.substr(7, 200); }

ImageServerConnection& Connection(RunState& state) {
  if (!state.imageServer) state.imageServer = std::make_shared<ImageServerConnection>(state);
  return *state.imageServer;
}

// The outcome of one exchange. An exchange that failed and took the
// connection with it (a reply that never came) pauses the connection like a
// failed login: otherwise a server that accepts logins but stops answering
// would cost a full time-out for every photo of the run.
bool Exchanged(ImageServerConnection& c, bool ok) {
  if (!ok && !c.session.Connected()) c.nextAttempt = Clock::now() + kRetryPause;
  return ok;
}

// Connects when not connected; `labelSuffix` is appended to Label1 then.
bool EnsureConnected(RunState& state, ImageServerConnection& c, const std::string& labelSuffix) {
  if (c.session.Connected()) return true;
  if (Clock::now() < c.nextAttempt) return false;
  state.window.SetLabel1(state.window.label1() + labelSuffix);
  const ServerFields& fields = state.window.imageServer();
  FtpEndpoint endpoint;
  SplitServerField(fields.server, endpoint.host, endpoint.port);
  endpoint.user = fields.user;
  endpoint.password = fields.password;
  bool connected = false;
  try {
    connected = c.session.Connect(endpoint);
  } catch (const std::exception& e) {  // the library could not even start
    state.window.AddMemoLine(e.what());
  }
  if (!connected) {
    c.nextAttempt = Clock::now() + kRetryPause;
    return false;
  }
  c.serverPhotoFolder.clear();
  c.refusedFolder.clear();
  // The folder of every photo is absolute, so a root folder that cannot be
  // entered fails this call only.
  return fields.folder.empty() || Exchanged(c, c.session.ChangeFolder("/" + fields.folder));
}

bool EnterServerFolder(RunState& state, ImageServerConnection& c, const std::string& name) {
  std::string folder = "/" + state.window.imageServer().folder + "/" + FirstFolder(name) + "/" +
                       SecondFolder(name) + "/";
  if (folder == c.serverPhotoFolder) return true;
  if (folder == c.refusedFolder) return false;
  if (!Exchanged(c, c.session.ChangeFolder(folder))) {
    // Refused on a connection that is still open: the folder is not there.
    if (c.session.Connected()) c.refusedFolder = folder;
    return false;
  }
  c.serverPhotoFolder = folder;
  c.refusedFolder.clear();
  return true;
}

// `shown` names the photo in the log line when it is not the name itself.
bool RefuseUnsafe(RunState& state, const std::string& name, const std::string& shown = {}) {
  if (IsSafePhotoName(name)) return false;
  state.LogLine("Pb Existence : " + (shown.empty() ? name : shown));
  return true;
}

std::string LocalPath(const RunState& state, const std::string& relative) {
  return state.options.photoStore + "\\" + ReplaceAll(relative, "/", "\\");
}

}  // namespace

bool IsSafePhotoName(const std::string& name) {
  if (name.size() < 8 || !IsSeparator(name[3]) || !IsSeparator(name[6])) return false;
  return IsPlainPart(FirstFolder(name)) && IsPlainPart(SecondFolder(name)) && IsPlainPart(name.substr(7)) &&
         IsPlainPart(ServerFileName(name));
}

bool PhotoOnServer(RunState& state, const std::string& name) {
  const bool fallback = !state.testPhotoServer;
  if (RefuseUnsafe(state, name)) return false;  // never asked: not there
  ImageServerConnection& c = Connection(state);
  if (!EnsureConnected(state, c, " - on connection " + name) || !EnterServerFolder(state, c, name))
    return fallback;
  bool present = false;
  if (!Exchanged(c, c.session.ModificationTime(ServerFileName(name), present))) return fallback;
  return state.testPhotoServer ? present : fallback;
}

void UploadPhoto(RunState& state, const std::string& localFile, const std::string& referencePath) {
  const std::string relative = ReplaceAll(referencePath, state.options.photoStore + "\\", "", true);
  if (RefuseUnsafe(state, relative, referencePath)) return;
  ImageServerConnection& c = Connection(state);
  if (!EnsureConnected(state, c, " - on connection")) return;
  state.window.SetLabel2(referencePath + " - on transfer");
  if (!EnterServerFolder(state, c, relative)) return;
  Exchanged(c, c.session.Store(HostPath(localFile), FileNameOf(referencePath)));
}

void RestorePhoto(RunState& state, const std::string& name) {
  if (RefuseUnsafe(state, name)) return;
  ImageServerConnection& c = Connection(state);
  if (!EnsureConnected(state, c, " - on connection")) return;
  state.window.SetLabel2(state.window.label2() + " - on restore");
  const std::string first = state.options.photoStore + "\\" + FirstFolder(name);
  CreateFolder(first);
  CreateFolder(first + "\\" + SecondFolder(name));
  if (!EnterServerFolder(state, c, name)) return;
  Exchanged(c, c.session.Retrieve(ServerFileName(name), HostPath(LocalPath(state, name))));
}

}  // namespace tarvelon
