#pragma once
// Small conversions shared by the exporters: brand names, ad references, week
// numbers, leading numbers, marker cuts, versions and equipment labels, and
// the appenders of delimited rows. Texts are Windows-1252.
#include <string>

#include "platform/clock.h"

namespace tarvelon {

class IXMLCursor;
class RunState;

std::string BrandName(const std::string& brand);
std::string WeekNumber(const DateTime& t);
std::string SiteAbbreviation(const std::string& site);
// Uses the current time and ExportOption for the week part.
std::string AdReference(const RunState& state, const std::string& brandPart, const std::string& site,
                        std::string expo);
int LeadingNumber(const std::string& text, int def);
std::string ReplaceBetweenMarkers(std::string text, const std::string& start, const std::string& end,
                                  const std::string& replacement);
std::string VersionWithoutModel(const std::string& version, const std::string& model);
std::string EquipmentLabels(const IXMLCursor& cursor, const std::string& codes);
std::string UrlPath(const std::string& address);

void AppendCsvField(std::string& row, const std::string& value);
void AppendJsonPair(std::string& object, const std::string& name, bool raw, const std::string& value);
void AppendTabField(std::string& row, const std::string& value);
void AppendCentsField(std::string& row, const std::string& value);
void AppendVatCentsField(std::string& row, const std::string& amount, const std::string& date);
void AppendDateField(std::string& row, const std::string& value);
void AppendYesNoField(std::string& row, const std::string& value);

// The texts those tab-row appenders write, without their TAB.
std::string CentsText(const std::string& value);
std::string VatCentsText(const std::string& amount, const std::string& date);
std::string DateFieldText(const std::string& value);  // empty stays empty
std::string YesNoText(const std::string& value);

// Option codes of a comma list (a blank right after a comma skipped): the
// pieces equal to their own upper-case form, each followed by `mark`; the
// others are dropped. "AB1, cd,EF" with "|" gives "AB1|EF|"; an empty list gives "".
std::string UpperCaseOptionCodes(const std::string& list, const std::string& mark);

}  // namespace tarvelon
