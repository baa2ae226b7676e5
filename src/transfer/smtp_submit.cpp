// The SMTP client: one connection per message, the envelope apart from the
// headers, the message bytes sent as given.
#include <curl/curl.h>

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
};

size_t ReadMessage(char* buffer, size_t size, size_t count, void* data) {
  auto* upload = static_cast<Upload*>(data);
  const size_t n = std::min(size * count, upload->bytes->size() - upload->sent);
  std::memcpy(buffer, upload->bytes->data() + upload->sent, n);
  upload->sent += n;
  return n;
}

int KeepWindowAlive(void* data, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
  static_cast<Upload*>(data)->state->ProcessMessages();
  return 0;
}

std::string Bracketed(const std::string& address) { return "<" + AnsiToUtf8(address) + ">"; }

}  // namespace

bool SubmitSmtp(RunState& state, const SmtpAccount& account, const std::string& sender,
                const std::vector<std::string>& recipients, const std::string& bytes, std::string& reason) {
  EnsureCurlGlobalInit();
  CURL* curl = curl_easy_init();
  if (!curl) {
    reason = "libcurl: no handle";
    return false;
  }
  Upload upload{&bytes, 0, &state};
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
  curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, 30L);
  curl_easy_setopt(curl, CURLOPT_TIMEOUT, 300L);
  curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errorText);
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
  }
  curl_slist_free_all(rcpt);
  curl_easy_cleanup(curl);
  return code == CURLE_OK;
}

}  // namespace tarvelon
