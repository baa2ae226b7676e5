#include "transfer/script_delivery.h"

#include <sys/stat.h>

#include <cerrno>

#include "app/run_state.h"
#include "platform/errors.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "stock/file_operations.h"

namespace tarvelon {

const char* const kOperatorScriptFolder = "c:\\projects\\Kord\\";

namespace {

std::string DecodeUtf16(const std::string& bytes, bool bigEndian) {
  std::string text;
  text.reserve(bytes.size() / 2);
  for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
    const unsigned char first = static_cast<unsigned char>(bytes[i]);
    const unsigned char second = static_cast<unsigned char>(bytes[i + 1]);
    const char32_t unit = bigEndian ? (first << 8 | second) : (second << 8 | first);
    if (unit >= 0xD800 && unit <= 0xDBFF && i + 3 < bytes.size()) {
      i += 2;  // a pair stands for one character, which the code page lacks
      text += '?';
    } else {
      text += (unit >= 0xD800 && unit <= 0xDFFF) ? '?' : CodePointToAnsi(unit);
    }
  }
  return text;
}

bool StartsWithBytes(const std::string& bytes, unsigned char a, unsigned char b) {
  return bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == a && static_cast<unsigned char>(bytes[1]) == b;
}

// The log as the script left it; a missing or unreadable log ends the export.
std::string ReadScriptLog(const std::string& log) {
  struct stat st;
  int err = 0;
  if (::stat(HostPath(log).c_str(), &st) != 0) err = errno;
  else if (!S_ISREG(st.st_mode)) err = EISDIR;
  if (err == 0) {
    try {
      return ReadFileBytes(log);
    } catch (const Error&) {
      err = errno ? errno : EIO;
    }
  }
  throw Error("XMLUtils.ReadStringFromFile - FileName=" + log + "\r\n" + SystemErrorText(err));
}

}  // namespace

std::string DecodeScriptLog(const std::string& bytes) {
  if (StartsWithBytes(bytes, 0xFF, 0xFE)) return DecodeUtf16(bytes, false);
  if (StartsWithBytes(bytes, 0xFE, 0xFF)) return DecodeUtf16(bytes, true);
  return bytes;
}

int CountTransfersDone(const std::string& text) {
  static const std::string kDone = "Transfer done";
  int count = 0;
  for (size_t at = text.find(kDone); at != std::string::npos; at = text.find(kDone, at + kDone.size())) ++count;
  return count;
}

std::string SftpScriptDelivery(RunState& state, const std::string& scriptName) {
  const std::string folder = kOperatorScriptFolder;
  const std::string script = folder + scriptName + ".bat";
  const std::string log = folder + scriptName + ".log";

  // A log that survives from an earlier run could be read as this run's.
  bool staleLog = false;
  if (FileExists(log) || FolderExists(log)) {
    if (!DeleteFile(log)) {
      const int err = errno;
      staleLog = true;
      state.LogLine(Ansi("Ancien journal de transfert impossible à supprimer : ") + log + " - " +
                    SystemErrorText(err));
    }
  }
  if (!FileExists(script)) {
    state.RecordDelivery(script, script, Ansi("script absent"), false);  // nothing went out
    return "";
  }

  RunAndWait(state, script, {});
  const std::string failed = Ansi(", erreur lors de l'envoi via SFTP");
  if (staleLog) {
    state.RecordDelivery(script, script, failed, false);
    return failed;
  }
  const int sent = CountTransfersDone(DecodeScriptLog(ReadScriptLog(log)));
  const std::string status = sent > 0 ? ", envoi via SFTP : " + std::to_string(sent) + " fichier transmis" : failed;
  state.RecordDelivery(script, script, status, sent > 0);
  return status;
}

}  // namespace tarvelon
