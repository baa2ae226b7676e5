// The conversions that parse text: numbers, dates, leading numbers, markers,
// the week number and the size of a JPEG file.
#include "fuzz_input.h"
#include "platform/clock.h"
#include "platform/errors.h"
#include "platform/numbers.h"
#include "platform/text.h"
#include "stock/conversions.h"
#include "stock/file_operations.h"

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
    fuzz::ScratchFile jpeg(text);
    int width = 0, height = 0;
    JpegSize(jpeg.path(), width, height);
  } catch (const Error&) {
  }
  return 0;
}
