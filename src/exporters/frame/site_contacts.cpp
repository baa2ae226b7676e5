#include "exporters/frame/site_contacts.h"

#include "platform/text.h"
#include "stock/extract.h"
#include "stock/xpath_values.h"

namespace tarvelon {

void SiteContactSubstitution(RunState& state, IXMLCursor& record) {
  const std::string telephone = record.GetValue("telephone");
  const std::string mail = record.GetValue("email");
  const std::string site = AnsiUpper(record.GetValue("id_Track"));
  for (IXMLCursor entry = record.Select(std::string(kSiteContacts) + "[idSite=" + XPathLiteral(site) + "]");
       !entry.Eof(); entry.Next()) {
    if (entry.GetValue("Telephone") == telephone) {
      record.SetValue("telephone", entry.GetValue("SRTel"));
      ++state.counters.phoneSwapCount;
    }
    if (entry.GetValue("Mail") == mail) {
      record.SetValue("email", entry.GetValue("SRMail"));
      ++state.counters.mailSwapCount;
    }
  }
}

}  // namespace tarvelon
