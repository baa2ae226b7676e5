#pragma once
// An HTTP server of the tests' own (tests/support/http_recorder.py, Python's
// http.server) on 127.0.0.1 at a free port, stopped by process id. It records
// the multipart requests it receives and answers 200, or fails on demand.
#include <string>
#include <vector>

namespace tarvelon::testing {

struct RecordedPart {
  std::string name, fileName, contentType, encoding, body;
};

struct RecordedRequest {
  std::string method, path;
  std::vector<std::pair<std::string, std::string>> headers;
  std::vector<RecordedPart> parts;
  // The first header of that name (any case), or empty.
  std::string Header(const std::string& name) const;
  bool HasHeader(const std::string& name) const;
};

struct HttpRecorderOptions {
  int status = 0;                       // answer every request with this status (0: 200)
  std::vector<std::string> failFields{};  // parts of these names get a 500
  bool hang = false;                    // requests are recorded and never answered
  bool stallAfterHeaders = false;       // the answer stops after its headers and first body bytes
};

class HttpRecorder {
 public:
  HttpRecorder();
  ~HttpRecorder();
  HttpRecorder(const HttpRecorder&) = delete;
  HttpRecorder& operator=(const HttpRecorder&) = delete;

  void Start(const HttpRecorderOptions& options = {});
  void Stop();  // SIGTERM, then waits; the record stays readable
  int port() const { return port_; }
  std::string address() const;  // "127.0.0.1:<port>"
  std::vector<RecordedRequest> Requests() const;

 private:
  std::string folder_;
  int pid_ = -1;
  int port_ = 0;
};

}  // namespace tarvelon::testing
