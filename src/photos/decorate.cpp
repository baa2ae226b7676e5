#include "photos/decorate.h"

#include <chrono>
#include <thread>

#include "app/run_state.h"
#include "photos/decoration_script.h"
#include "photos/image_magick.h"
#include "photos/image_server.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "stock/file_operations.h"

namespace tarvelon {
namespace {

// A stamp name picks two files beside the program: it must stay a plain name.
bool IsPlainName(const std::string& name) {
  return name.find_first_of("\\/") == std::string::npos && name != "." && name != "..";
}

bool MarkImagesPresent(const std::string& e, const std::string& tag, const std::string& saleStatus) {
  for (const char* mark : {"atp480.png", "atp640.png", "tz.png", "remise.png"})
    if (!FileExists(e + mark)) return false;
  if (!FileExists(tag) || !FileExists(e + "dwa.png")) return false;
  if (saleStatus.empty()) return true;
  return IsPlainName(saleStatus) && FileExists(e + saleStatus + ".png") && FileExists(e + saleStatus + "-a.png");
}

void PauseProcessingMessages(RunState& state) {
  state.ProcessMessages();
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  state.ProcessMessages();
}

}  // namespace

std::string DecoratePhoto(RunState& state, const std::string& photoName, const std::string& siteText,
                          const std::string& atpText, const std::string& zText, const std::string& saleStatus,
                          std::string discountText, const std::string& dwaText) {
  if (state.ReadSetting("Options", "NoTAG", "0") == "1") return photoName;
  if (!IsSafePhotoName(photoName)) {
    state.LogLine("Pb Existence : " + photoName);
    return photoName;
  }
  if (ToIntDef(discountText, 0) < 10) discountText.clear();

  const std::string e = ProgramFolder();
  const std::string tag = e + (StartsWith(AnsiUpper(siteText), "BRELO") ? "tagBrelo-h40.png" : "tagMirvane-h40.png");
  const std::string localPhoto = state.options.photoStore + "\\" + ReplaceAll(photoName, "/", "\\");

  const Options& o = state.options;
  const std::string& option = state.exportOptionLower;
  const size_t dash = photoName.find('-');
  const bool inExport = Contains(o.watermarkTargets, option);
  const bool inTag = Contains(o.tagTargets, option);
  const bool inAtp = Contains(o.atpTargets, option);
  const std::string site = AnsiLower(siteText);
  const bool siteOk = Contains(o.tagSites, site) || Contains(o.tagSites, ";all;");
  if (Contains(o.hiddenDiscountSites, site)) discountText.clear();

  if (dash == std::string::npos || !siteOk || !(inExport || inTag || inAtp)) return photoName;
  if (!MarkImagesPresent(e, tag, saleStatus) || !FileExists(localPhoto)) return photoName;
  const std::string convert = ImageMagickConvertPath();
  if (convert.empty()) return photoName;

  int width = 0, height = 0;
  JpegSize(localPhoto, width, height);
  const std::string w = WorkDir() + "Tarvelon\\" + state.referencePrefix;
  MarkChoice choice;
  choice.atpBand = !atpText.empty() && inAtp;
  choice.zBadge = !zText.empty();
  choice.saleStatus = saleStatus;
  choice.discount = discountText;
  choice.dwaLabel = !dwaText.empty();
  choice.inTag = inTag;
  choice.centredLogo = option == "sitautopro";
  DecorationFolders folders;
  folders.photo = HostPath(localPhoto);
  folders.programFolder = HostPath(e);
  if (folders.programFolder.back() != '/') folders.programFolder += '/';
  folders.workPrefix = HostPath(WorkDir() + "Tarvelon\\") + AnsiToUtf8(state.referencePrefix);
  folders.tagImage = HostPath(tag);
  const DecorationPlan plan = PlanDecoration(choice, width, height, folders);

  const std::string tagged = photoName.substr(0, dash + 1) + plan.marks + ".jpg";
  const std::string target = o.photoStore + "\\" + ReplaceAll(tagged, "/", "\\");
  const std::string result = plan.marks.empty() ? photoName : tagged;
  if (plan.commands.empty() || plan.marks.empty() || FileAgeMs(target) <= 2) return result;

  state.window.SetLabel2("Tag sur : " + target);
  // Every picture of the chain goes, not only the last: a step that fails
  // must not let the next one pick up a previous photo's work file.
  for (const auto& name : plan.workFiles) DeleteFile(w + name);
  // A first run on a fresh work folder must not stop on the missing "Tarvelon" folder.
  CreateFolders(WorkDir() + "Tarvelon");
  const std::string script = w + "goMagick.bat";
  WriteTextFile(script, DecorationScript(convert, plan));
  state.ProcessMessages();
  RunAndWait(state, script, {});
  PauseProcessingMessages(state);

  const std::string picture = w + plan.finalWorkFile;
  if (!FileExists(picture)) {
    // The tagged file of an earlier run stays, nothing is sent, and the ad
    // gets the photo without marks.
    state.LogLine("Pb Tag : " + photoName + " - ImageMagick n'a pas produit " + picture);
    return photoName;
  }
  if (FileExists(target) && FileSizeOf(target) == FileSizeOf(picture)) return result;
  DeleteFile(target);
  UploadPhoto(state, picture, target);
  CopyFileStream(picture, target);
  return result;
}

}  // namespace tarvelon
