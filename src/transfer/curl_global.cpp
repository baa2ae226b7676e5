#include "transfer/curl_global.h"

#include <curl/curl.h>

#include <mutex>

#include "platform/errors.h"

namespace tarvelon {

void EnsureCurlGlobalInit() {
  static std::once_flag once;
  static CURLcode result = CURLE_OK;
  std::call_once(once, [] { result = curl_global_init(CURL_GLOBAL_DEFAULT); });
  if (result != CURLE_OK) throw Error(std::string("libcurl: ") + curl_easy_strerror(result));
}

}  // namespace tarvelon
