#pragma once
// Steps shared by the feeds that send the stock extract itself, completed
// and cleaned (RAD1, INFOPRESS, TOPANNONCES, AUTOREFLEX), and by the annonce
// feeds where they do the same.
#include <functional>
#include <string>
#include <vector>

#include "app/run_state.h"
#include "stock/xml_cursor.h"

namespace tarvelon {

// Photo slots name + "1" … name + count of a vehicle record.
struct PhotoSlotSeries {
  std::string name;
  int count;
};

// Walks every photo link of the document: the link's vehicle receives
// "URLImages" + "/" + NomImage + ".jpg" in the first empty slot of each
// series (none when all are filled). With `syncWithServer`, every link,
// found or not, counts as an image and goes through SyncServerPhoto.
void FillPhotoSlots(RunState& state, IXMLCursor& document, const std::vector<PhotoSlotSeries>& series,
                    bool syncWithServer);

// Deletes the sections the partners never see (the exclusions when asked,
// the photo links, the equipment labels, the aliases), each announced in the log.
void RemoveHiddenSections(RunState& state, IXMLCursor& document, bool withExclusions);

// Each vehicle record, counted and handed to `prepare`; the selection (and
// with it the hold on the extract's tree) goes when the pass ends.
void PrepareEveryVehicle(RunState& state, IXMLCursor& document, const std::function<void(IXMLCursor&)>& prepare);

// Loads the edited text of a feed, to be saved (LoadXMLForSaving), whose
// earlier stages (each a text and the file it was saved to) need not be
// loaded when the last one parses. When it does not, the stages are loaded
// and saved in order as far as they go, and the first failure is the error.
// A stage names texts that live on in the caller: a document text is tens of MB.
struct TextStage {
  const std::string& text;
  const std::string& savedTo;
};
void LoadEditedText(IXMLCursor& document, const std::string& text, const std::vector<TextStage>& earlier);

// "Nb Photos Mises à jour : " + count + " photos --- ", when photos were updated.
void LogPhotoUpdateCount(RunState& state);

// status + "Fichier VO actualisé sur site FTP : " + name + " - " + vehicles + " VO".
std::string DeliveredLine(const std::string& status, const std::string& name, int vehicles);

}  // namespace tarvelon
