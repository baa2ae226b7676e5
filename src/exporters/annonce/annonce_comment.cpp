#include "app/run_state.h"
#include "exporters/annonce/annonce_rules.h"
#include "platform/numbers.h"
#include "platform/text.h"
#include "stock/extract.h"

namespace tarvelon {
namespace {

// The discount of a demonstration vehicle against its catalogue price; 0 outside 10 <= rate < 50.
double DiscountRate(double catalogue, double price) {
  if (price == 0) price = catalogue;
  double rate = 0;
  if (price > 0 && price < catalogue) rate = (catalogue - price) / catalogue * 100;
  if (rate >= 50 || rate < 10) rate = 0;
  return rate;
}

int TypeOf(const std::string& typeVO) { return ToIntDef(typeVO, 0); }

}  // namespace

CommentInputs ReadCommentInputs(const RunState& state, const IXMLCursor& record) {
  CommentInputs in;
  in.typeVO = record.GetValue("TypeVO");
  in.guarantee = record.GetValue("GARANTIE");
  in.guaranteeMessage = record.GetValue("MsgGarCons");
  in.message = record.GetValue("MsgAnnonce");
  in.contact = record.GetValue("CONTACT_A_AFFICHER");
  in.telephone = record.GetValue("TELEPHONE_A_AFFICHER");
  in.company = record.GetValue("LibelleSociete");
  in.openingHours = record.GetValue("HorairesCommercial");
  in.cataloguePrice = record.GetValue("PrixCatalogue");
  in.price = record.GetValue("PRIX");
  in.atpOffer = state.options.AtpRunning(Now()) && record.GetValue("InfoVA") == "VA";
  in.atpMessage = state.options.atpMessage;
  return in;
}

AnnonceCommentResult AnnonceComment(const CommentInputs& in) {
  std::string c = in.guaranteeMessage;
  if (!in.guarantee.empty()) c = "+ Garantie de " + in.guarantee + " mois";
  if (!c.empty()) c += " + ";
  c += in.message + " + ";

  if (TypeOf(in.typeVO) != 1) {
    const std::string contact = AnsiUpper(in.contact) == "STANDARD" ? Ansi("Tél : ")
                                                                     : "contactez " + in.contact + " au ";
    c += contact + in.telephone + " + ";
  }
  c += in.company + " + " + in.openingHours;

  AnnonceCommentResult result;
  if (TypeOf(in.typeVO) == 2) {
    const double catalogue = ParseDecimalOrZero(in.cataloguePrice);
    result.rate = DiscountRate(catalogue, ParseDecimalOrZero(in.price));
    if (result.rate != 0)
      c = "Prix catalogue : " + FormatThousands(catalogue) + " euros, soit une remise de " +
          ReplaceAll(FormatFixed(result.rate, 1), ",", ".") + Ansi("% sur ce véhicule + ") + c;
  }
  if (in.atpOffer) c = in.atpMessage + " - " + c;

  c = ReplaceAll(c, "\r", "");
  c = ReplaceAll(c, "\n", " ");
  result.text = ReplaceAll(c, " + ", ", ");
  return result;
}

}  // namespace tarvelon
