#include "photos/publication.h"

#include "app/run_state.h"
#include "photos/decorate.h"
#include "photos/image_server.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "stock/conversions.h"
#include "stock/file_operations.h"

namespace tarvelon {
namespace {

std::string ThumbnailName(const std::string& name) { return ReplaceAll(name, ".jpg", "m.jpg", true); }

std::string LocalPath(const RunState& state, const std::string& name) {
  return state.options.photoStore + "\\" + ReplaceAll(name, "/", "\\");
}

// One photo or thumbnail: upload what the server lacks, restore what the
// store lacks.
void SyncOne(RunState& state, const std::string& name, const std::string& missingText) {
  const std::string local = LocalPath(state, name);
  state.window.SetLabel1("Image " + std::to_string(state.counters.imageCount) + " : " + local);
  const bool here = FileExists(local);
  const bool there = PhotoOnServer(state, name);
  if (!here && !there) {
    state.LogLine("Pb Existence : " + missingText);
  } else if (here && !there) {
    const std::string count = std::to_string(++state.counters.photoUpdateCount);
    state.LogLine("Update " + count + " : " + FileNameOf(local));
    state.window.SetLabel2("Update " + count + " : " + local);
    UploadPhoto(state, local, local);
  } else if (!here && there) {
    const std::string count = std::to_string(++state.counters.photoUpdateCount);
    state.LogLine("Restore " + count + " : " + FileNameOf(local));
    state.window.SetLabel2("Restore " + count + " : " + local);
    RestorePhoto(state, name);
  }
}

void ReportUpdate(RunState& state, const std::string& name, const std::string& source) {
  const std::string count = std::to_string(++state.counters.photoUpdateCount);
  state.LogLine("Update " + count + " : " + name);
  state.window.SetLabel2("Update " + count + " : " + source);
}

// The copy into the output folder is named by the ad's reference: it must
// not lead out of that folder.
bool IsPlainReference(const std::string& reference) {
  return !reference.empty() && reference.find_first_of("\\/:") == std::string::npos && reference != "." &&
         reference != "..";
}

}  // namespace

void SyncServerPhoto(RunState& state, const std::string& address) {
  const std::string name = UrlPath(address);
  if (!IsSafePhotoName(name)) {
    state.LogLine("Pb Existence : " + name);
    return;
  }
  SyncOne(state, name, name);
  const std::string thumbnail = ThumbnailName(name);
  SyncOne(state, thumbnail, FileNameOf(LocalPath(state, thumbnail)));
}

void ExportVehiclePhoto(RunState& state, int n, const std::string& photoFileName, const std::string& tagText,
                        const std::string& discountText, const std::string& siteText,
                        const std::string& reference) {
  std::string fileName = photoFileName;
  if (!IsSafePhotoName(UrlPath(fileName))) {
    state.LogLine("Pb Existence : " + UrlPath(fileName));
    return;
  }
  bool decorated = false;
  if (n == 1 && (!discountText.empty() || Contains(state.options.tagAllTargets, state.exportOptionLower))) {
    fileName = DecoratePhoto(state, UrlPath(fileName), siteText, "", "", "", discountText, tagText);
    decorated = true;
  }

  const std::string name = UrlPath(fileName);
  const std::string source = state.options.photoStore + "\\" + name;
  bool copied = false;  // a complete copy: the source exists, no need to look again
  if (IsPlainReference(reference)) {
    const std::string target = state.outputFolder + "\\" + reference + "_" + std::to_string(n) + ".jpg";
    try {
      CopyFileStream(source, target);
      copied = true;
    } catch (const std::exception&) {
      // The CSV still names the file; the ad goes out without it, never with
      // a part of it.
      DeleteFile(target);
    }
  }
  ++state.counters.imageCount;
  state.window.SetLabel1("Image " + std::to_string(state.counters.imageCount) + " : " + source);
  if (copied || FileExists(source)) {
    if (!PhotoOnServer(state, name)) ReportUpdate(state, name, source);
  } else {
    state.LogLine("Pb Existence : " + name);
  }
  if (decorated) return;

  const std::string thumbnail = UrlPath(ThumbnailName(fileName));
  const std::string thumbnailSource = state.options.photoStore + "\\" + thumbnail;
  if (!FileExists(thumbnailSource)) {
    state.LogLine("Pb Existence : " + thumbnail);
    return;
  }
  if (PhotoOnServer(state, thumbnail)) return;
  ReportUpdate(state, thumbnail, thumbnailSource);
}

}  // namespace tarvelon
