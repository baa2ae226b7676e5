#pragma once
// HTTP delivery: the posting of the Vivacar drop folder to the Vivacar import
// service, one multipart/form-data request per file, each reply kept next to
// the posted files. Started by hand ("Envoi VIVACAR", tarvelon --send-vivacar).
#include <string>

namespace tarvelon {

class RunState;
class IniFile;

// "UrlImport" of section VIVACAR, or the service's built-in address.
std::string VivacarImportUrl(const IniFile& settings);

// " - Erreur de transfert sur le serveur ": the reply file of a failed request.
extern const char* const kHttpTransferError;

// The one file part of a form.
struct FormFilePart {
  std::string fieldName;
  std::string fileName;  // as the receiver reads it (Windows form)
  std::string contentType;
  std::string content;
};

// Bounded waits of a request: connecting, and nothing received or sent (a
// service that accepts and never answers, or stops in mid-reply).
struct HttpTimeouts {
  long connectSeconds = 15;
  long stallSeconds = 60;
};

// Posts the form to the url (blanks and "#" escaped first) and writes the
// reply body of a 2xx answer, or kHttpTransferError for anything else
// (refused, time-out, TLS failure, error status, redirect), to the reply
// file. Answers whether the service accepted the request. Throws Error when
// the reply file cannot be written.
bool HttpPostStream(RunState& state, const std::string& url, const std::string& replyFile, const FormFilePart& form,
                    const HttpTimeouts& timeouts = {});

// The import address: Tarvelon.ini, section "VIVACAR", key "UrlImport"
// (http or https), by default the service's https address. Throws Error for
// an address of any other scheme.
std::string VivacarImportUrl();

// The pass behind "Envoi VIVACAR": every regular file of the drop folder,
// listed before the first request, in name order. A pass started while one
// runs is refused with a memo line.
void SendVivacarFiles(RunState& state);
// The same pass within other time-outs than the shipped ones.
void SendVivacarFilesWithin(RunState& state, const HttpTimeouts& timeouts);

}  // namespace tarvelon
