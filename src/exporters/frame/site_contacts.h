#pragma once
// The site contact substitution of the dealer feeds: where the vehicle's
// telephone or e-mail is the one the site list (InfosSR of the vehicle's
// id_Track) names, the site's public contact replaces it.
#include "app/run_state.h"
#include "stock/xml_cursor.h"

namespace tarvelon {

// Counts each swap in PhoneSwapCount / MailSwapCount. The site identifier
// comes from the stock data and enters the selection as a quoted literal.
void SiteContactSubstitution(RunState& state, IXMLCursor& record);

}  // namespace tarvelon
