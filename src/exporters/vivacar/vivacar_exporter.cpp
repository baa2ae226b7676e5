#include "exporters/vivacar/vivacar_exporter.h"

#include "app/dispatch.h"
#include "platform/files.h"
#include "photos/decoration_script.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "stock/conversions.h"
#include "stock/file_operations.h"

namespace tarvelon {

std::string VivacarExporter::ConvertGuarantee(const std::string& guarantee) const {
  return guarantee.empty() ? "Constructeur" : guarantee;
}

void VivacarExporter::AfterShortVersion(IXMLCursor& record, const EquipmentLists& lists) {
  std::string options;
  for (const std::string* list : {&lists.interior, &lists.exterior, &lists.safety, &lists.information}) {
    const std::string labels = EquipmentLabels(record, *list);
    if (labels.empty()) continue;
    if (!options.empty()) options += ", ";
    options += labels;
  }
  record.SetValue("Options", options);
}

void VivacarExporter::BeforeClientFiles(RunState&) { DeleteFile(VivacarFolder() + "\\SendSynchroResults.log"); }

std::unique_ptr<ClientFileBuilder> VivacarExporter::MakeClientFileBuilder(RunState& state) const {
  return std::make_unique<VivacarClientFiles>(state);
}

void VivacarExporter::AfterClientFiles(RunState& state, ClientFileBuilder& builder) {
  const std::string& batch = static_cast<VivacarClientFiles&>(builder).batch();
  if (batch.empty()) return;
  const std::string script = VivacarFolder() + "\\Opt2VivafiAll.bat";
  WriteTextFile(script, VivacarBatchHeader() + batch);
  RunAndWait(state, script, {});
}

std::string VivacarBatchHeader() {
  // "call" runs the operator's script as the program runs scripts: directly
  // when it is executable, else with /bin/sh.
  return "#!/bin/sh\n"
         "call() { if [ -x \"$1\" ]; then \"$@\"; else /bin/sh \"$@\"; fi; }\n";
}

std::string VivacarBatchLine(const std::string& jsonFileName) {
  const std::string folder = VivacarFolder() + "\\";
  return "call " + ShellQuote(HostPath(folder + "Opt2Vivafi.bat")) + " " + ShellQuote(HostPath(folder + jsonFileName)) +
         "\n";
}

void RunVivacarExport(RunState& state, const std::string&) {
  VivacarExporter exporter;
  exporter.Run(state);
}

SettingsUse VivacarSettingsUse() {
  SettingsUse use;
  use.targetKeys = {"TestFTPPictlore", "Code", "UrlImport"};
  use.clientKeys = ClientSectionKeys();
  use.vivacarPost = true;
  return use;
}

}  // namespace tarvelon
