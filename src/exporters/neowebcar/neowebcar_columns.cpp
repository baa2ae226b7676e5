#include "exporters/neowebcar/neowebcar_exporter.h"

namespace tarvelon {

// Header label and value of each of the 29 columns.
const std::vector<NeoWebCarColumn>& NeoWebCarColumns() {
  static const std::vector<NeoWebCarColumn> columns = {
      {"N° Châssis", Element("NChassis")},
      {"Marque", Element("Marque")},
      {"Modele", Element("Modele")},
      {"TypeVehicule", Computed("status")},
      {"Version", Computed("version")},
      {"Couleur", Element("Couleur")},
      {"Sellerie", Element("CouleurInt")},
      {"Options", Computed("options")},
      {"Options3270", Computed("optionCodes")},
      {"PrixCatalogue", Element("PrixCatalogue")},
      {"Remise", Computed("discount")},
      {"AideReprise", Element("MontantAideReprise")},
      {"Prix", Computed("price")},
      {"KM", Computed("km")},
      {"MEC", Computed("registration")},
      {"NbPortes", Element("NbPortes")},
      {"Photo01", Element("LienImage1")},
      {"Photo02", Element("LienImage2")},
      {"Photo03", Element("LienImage3")},
      {"Photo04", Element("LienImage4")},
      {"Photo05", Element("LienImage5")},
      {"Photo06", Element("LienImage6")},
      {"Photo07", Element("LienImage7")},
      {"Immatriculation", Computed("plate")},
      {"RefAnnonce", Computed("reference")},
      {"RefSite", Element("RefSite")},
      {"Contact", Computed("contact")},
      {"telephone", Element("telephone")},
      {"email", Element("email")},
  };
  return columns;
}

}  // namespace tarvelon
