#include "transfer/reach.h"

#include <curl/curl.h>

#include "transfer/curl_global.h"

namespace tarvelon {
namespace {

constexpr long kReachSeconds = 15;

// A connect-only libcurl request: the protocol's connection phase and nothing more.
bool ConnectOnly(const std::string& url, std::string& reason) {
  EnsureCurlGlobalInit();
  CURL* curl = curl_easy_init();
  if (!curl) {
    reason = "libcurl could not start";
    return false;
  }
  char error[CURL_ERROR_SIZE] = {};
  curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
  curl_easy_setopt(curl, CURLOPT_CONNECT_ONLY, 1L);
  curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, kReachSeconds);
  curl_easy_setopt(curl, CURLOPT_TIMEOUT, kReachSeconds);
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, error);
  const CURLcode code = curl_easy_perform(curl);
  curl_easy_cleanup(curl);
  if (code == CURLE_OK) return true;
  reason = error[0] ? error : curl_easy_strerror(code);
  return false;
}

}  // namespace

bool ReachFtp(const FtpEndpoint& endpoint, const std::string& folder, std::string& reason) {
  FtpSession session({kReachSeconds, kReachSeconds, kReachSeconds}, [](const std::string&) {}, [] {});
  if (!session.Connect(endpoint)) {
    reason = "login failed: " + session.lastError();
    return false;
  }
  if (!folder.empty() && !session.ChangeFolder(folder)) {
    reason = "folder change to " + folder + " failed: " + session.lastError();
    session.Disconnect();
    return false;
  }
  session.Disconnect();
  return true;
}

bool ReachSmtp(const SmtpAccount& account, std::string& reason) {
  return ConnectOnly("smtp://" + account.host + ":" + std::to_string(account.port), reason);
}

bool ReachUrl(const std::string& url, std::string& reason) { return ConnectOnly(url, reason); }

}  // namespace tarvelon
