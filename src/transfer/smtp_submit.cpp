// The SMTP client: one connection per message, the envelope apart from the
// headers, the message bytes sent as given.
#include <curl/curl.h>
#include <sys/socket.h>

#include <cstring>

#include "app/run_state.h"
#include "platform/text.h"
#include "transfer/curl_global.h"
#include "transfer/mail_delivery.h"

namespace tarvelon {
namespace {

struct Upload {
  const std::string* bytes;
  size_t sent = 0;
  RunState* state;
  std::string lastReply;  // the server's last answer line, which explains a refusal
};

size_t ReadMessage(char* buffer, size_t size, size_t count, void* data) {
  auto* upload = static_cast<Upload*>(data);
  const size_t n = std::min(size * count, upload->bytes->size() - upload->sent);
  std::memcpy(buffer, upload->bytes->data() + upload->sent, n);
  upload->sent += n;
  return n;
}

// Every answer line of the server arrives here.
size_t KeepReply(char* data, size_t size, size_t count, void* user) {
  std::string line(data, size * count);
  while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
  if (!line.empty()) static_cast<Upload*>(user)->lastReply = line;
  return size * count;
}

int KeepWindowAlive(void* data, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
  static_cast<Upload*>(data)->state->ProcessMessages();
  return 0;
}

std::string Bracketed(const std::string& address) { return "<" + AnsiToUtf8(address) + ">"; }

}  // namespace

bool SubmitSmtp(RunState& state, const SmtpAccount& account, const std::string& sender,
                const std::vector<std::string>& recipients, const std::string& bytes, std::string& reason,
                const SmtpTimeouts& timeouts) {
  EnsureCurlGlobalInit();
  CURL* curl = curl_easy_init();
  if (!curl) {
    reason = "libcurl: no handle";
    return false;
  }
  Upload upload{&bytes, 0, &state, {}};
  char errorText[CURL_ERROR_SIZE] = "";
  curl_slist* rcpt = nullptr;
  for (const auto& r : recipients) rcpt = curl_slist_append(rcpt, Bracketed(r).c_str());
  const std::string url = "smtp://" + AnsiToUtf8(account.host) + ":" + std::to_string(account.port);
  const std::string from = Bracketed(sender);
  curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
  curl_easy_setopt(curl, CURLOPT_MAIL_FROM, from.c_str());
  curl_easy_setopt(curl, CURLOPT_MAIL_RCPT, rcpt);
  curl_easy_setopt(curl, CURLOPT_UPLOAD, 1L);
  curl_easy_setopt(curl, CURLOPT_READFUNCTION, &ReadMessage);
  curl_easy_setopt(curl, CURLOPT_READDATA, &upload);
  curl_easy_setopt(curl, CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(bytes.size()));
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(curl, CURLOPT_PROXY, "");
  curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, timeouts.connectSeconds);
  // Without its own limit the wait for one answer is the library's two minutes.
  curl_easy_setopt(curl, CURLOPT_SERVER_RESPONSE_TIMEOUT, timeouts.replySeconds);
  curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
  curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, timeouts.stallSeconds);
  curl_easy_setopt(curl, CURLOPT_TIMEOUT, timeouts.totalSeconds);
  curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errorText);
  curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, &KeepReply);
  curl_easy_setopt(curl, CURLOPT_HEADERDATA, &upload);
  curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
  curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, &KeepWindowAlive);
  curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &upload);
  const std::string user = AnsiToUtf8(account.user), password = AnsiToUtf8(account.password);
  if (account.login) {
    curl_easy_setopt(curl, CURLOPT_USERNAME, user.c_str());
    curl_easy_setopt(curl, CURLOPT_PASSWORD, password.c_str());
  }
  const CURLcode code = curl_easy_perform(curl);
  if (code != CURLE_OK) {
    reason = curl_easy_strerror(code);
    if (errorText[0]) reason += std::string(" (") + Utf8ToAnsi(errorText) + ")";
    // The library's text alone ("Weird server reply") does not say what the server refused.
    const std::string& reply = upload.lastReply;
    if (!reply.empty() && (reply[0] == '4' || reply[0] == '5')) reason += " (" + Utf8ToAnsi(reply) + ")";
  }
  // The library says QUIT on closing and waits for the answer, outside the
  // total time-out: after a failure that is a second reply time-out from a
  // server that did not answer the first time. It gets no QUIT.
  curl_socket_t socket = CURL_SOCKET_BAD;
  if (code != CURLE_OK && curl_easy_getinfo(curl, CURLINFO_ACTIVESOCKET, &socket) == CURLE_OK &&
      socket != CURL_SOCKET_BAD)
    ::shutdown(socket, SHUT_RDWR);
  curl_slist_free_all(rcpt);
  curl_easy_cleanup(curl);
  return code == CURLE_OK;
}

}  // namespace tarvelon
