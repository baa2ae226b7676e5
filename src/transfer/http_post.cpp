#include "transfer/http_post.h"

#include <curl/curl.h>

#include <memory>

#include "app/run_state.h"
#include "platform/files.h"
#include "platform/text.h"
#include "transfer/curl_global.h"

namespace tarvelon {

const char* const kHttpTransferError = " - Erreur de transfert sur le serveur ";

namespace {

struct Exchange {
  RunState* state;
  std::string reply;
};

size_t KeepReply(char* data, size_t size, size_t count, void* user) {
  static_cast<Exchange*>(user)->reply.append(data, size * count);
  return size * count;
}

// The window keeps handling its messages while a request waits.
int KeepWindowAlive(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
  static_cast<Exchange*>(user)->state->ProcessMessages();
  return 0;
}

std::string EscapedUrl(const std::string& url) { return ReplaceAll(ReplaceAll(url, " ", "%20"), "#", "%23"); }

struct CurlCleanup {
  void operator()(CURL* h) const { curl_easy_cleanup(h); }
  void operator()(curl_mime* m) const { curl_mime_free(m); }
  void operator()(curl_slist* l) const { curl_slist_free_all(l); }
};

// True for a 2xx answer; the body is in `exchange.reply`.
bool Post(const std::string& url, const FormFilePart& form, const HttpTimeouts& timeouts, Exchange& exchange) {
  EnsureCurlGlobalInit();
  std::unique_ptr<CURL, CurlCleanup> handle(curl_easy_init());
  if (!handle) return false;
  CURL* h = handle.get();
  std::unique_ptr<curl_mime, CurlCleanup> mime(curl_mime_init(h));
  curl_mimepart* part = curl_mime_addpart(mime.get());
  curl_mime_name(part, form.fieldName.c_str());
  curl_mime_filename(part, form.fileName.c_str());
  curl_mime_type(part, form.contentType.c_str());
  curl_mime_encoder(part, "binary");
  curl_mime_data(part, form.content.data(), form.content.size());

  // An empty "Expect:" sends the body at once instead of waiting for "100 Continue".
  std::unique_ptr<curl_slist, CurlCleanup> headers(curl_slist_append(nullptr, "Accept: text/html, */*"));
  curl_slist_append(headers.get(), "Expect:");

  curl_easy_setopt(h, CURLOPT_URL, url.c_str());
  curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 0L);
  curl_easy_setopt(h, CURLOPT_PROXY, "");  // no proxy, whatever the environment says
  curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(h, CURLOPT_SSL_VERIFYPEER, 1L);
  curl_easy_setopt(h, CURLOPT_SSL_VERIFYHOST, 2L);
  curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT, timeouts.connectSeconds);
  curl_easy_setopt(h, CURLOPT_LOW_SPEED_LIMIT, 1L);
  curl_easy_setopt(h, CURLOPT_LOW_SPEED_TIME, timeouts.stallSeconds);
  curl_easy_setopt(h, CURLOPT_USERAGENT, "Mozilla/3.0 (compatible; Indy Library)");
  curl_easy_setopt(h, CURLOPT_COOKIEFILE, "");  // cookies accepted for the request
  curl_easy_setopt(h, CURLOPT_HTTPHEADER, headers.get());
  curl_easy_setopt(h, CURLOPT_MIMEPOST, mime.get());
  curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, KeepReply);
  curl_easy_setopt(h, CURLOPT_WRITEDATA, &exchange);
  curl_easy_setopt(h, CURLOPT_XFERINFOFUNCTION, KeepWindowAlive);
  curl_easy_setopt(h, CURLOPT_XFERINFODATA, &exchange);
  curl_easy_setopt(h, CURLOPT_NOPROGRESS, 0L);

  if (curl_easy_perform(h) != CURLE_OK) return false;
  // libcurl reports an error status as a completed transfer: only 2xx is success.
  long status = 0;
  curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &status);
  return status >= 200 && status < 300;
}

}  // namespace

bool HttpPostStream(RunState& state, const std::string& url, const std::string& replyFile, const FormFilePart& form,
                    const HttpTimeouts& timeouts) {
  state.window.SetLabel1("try");
  Exchange exchange{&state, {}};
  const bool accepted = Post(EscapedUrl(url), form, timeouts, exchange);
  WriteFileBytes(replyFile, accepted ? exchange.reply : std::string(kHttpTransferError));
  return accepted;
}

}  // namespace tarvelon
