// The conversions that parse text: numbers, dates, leading numbers, markers,
// the week number, the equipment codes and the size of a JPEG file.
#include <algorithm>

#include "fuzz_input.h"
#include "platform/clock.h"
#include "platform/errors.h"
#include "platform/numbers.h"
#include "platform/text.h"
#include "stock/conversions.h"
#include "stock/file_operations.h"
#include "stock/xml_cursor.h"

using namespace tarvelon;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto parts = fuzz::Parts(data, size, 4);
  const std::string& text = parts[0];
  try {
    double number = 0;
    TryParseDecimal(text, number);
    ParseDecimalOrZero(text);
    long long whole = 0;
    TryParseInt(text, whole);
    ToIntDef(text, 7);
    LeadingNumber(text, -1);
    DateTime date;
    if (ParseShortDate(text, date)) WeekNumber(date);
    CentsText(text);
    VatCentsText(text, parts[1]);
    DateFieldText(text);
    ReplaceBetweenMarkers(text, parts[1], parts[2], parts[3]);
    AnsiToUtf8(text);
    Utf8ToAnsi(text);
    AnsiUpper(text);
    // Equipment codes of the input looked up in a table whose codes and labels
    // come from the input too (second part: "CODE=label" lines).
    std::string table = "<document><LiensEquipementsS>";
    size_t start = 0;
    while (start <= parts[1].size()) {
      const size_t end = std::min(parts[1].find('\n', start), parts[1].size());
      const std::string line = parts[1].substr(start, end - start);
      const size_t equals = line.find('=');
      table += "<LiensEquipements><AbbrEquip>" + EscapeMarkup(line.substr(0, equals)) +
               "</AbbrEquip><LibelleEquipement>" +
               EscapeMarkup(equals == std::string::npos ? "" : line.substr(equals + 1)) +
               "</LibelleEquipement></LiensEquipements>";
      start = end + 1;
    }
    table += "</LiensEquipementsS></document>";
    IXMLCursor labels;
    try {
      labels.LoadXML(table);
      EquipmentLabels(labels, text);
    } catch (const Error&) {
    }
    fuzz::ScratchFile jpeg(text);
    int width = 0, height = 0;
    JpegSize(jpeg.path(), width, height);
  } catch (const Error&) {
  }
  return 0;
}
