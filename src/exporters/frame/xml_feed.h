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

// One stage of a feed's edited text loaded and saved to `path` (the working
// file keeps the last stage that loaded, should a later one fail); the
// cursor's error when it does not load.
void SaveTextStage(const std::string& text, const std::string& path);

// The end of a feed's text edits: "Result : " + the text logged, then
// `afterLine`; the text loaded to be saved (LoadXMLForSaving) and "Avant
// Enregistrement" logged. The text is taken over: the memo keeps its line.
void LoadResultText(RunState& state, IXMLCursor& document, std::string text, const std::string& afterLine);

// "Nb Photos Mises à jour : " + count + " photos --- ", when photos were updated.
void LogPhotoUpdateCount(RunState& state);

// status + "Fichier VO actualisé sur site FTP : " + name + " - " + vehicles + " VO".
std::string DeliveredLine(const std::string& status, const std::string& name, int vehicles);

}  // namespace tarvelon
