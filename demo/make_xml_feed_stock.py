#!/usr/bin/env python3
"""Stock extracts of the XML transform feeds, from the demo stock of
make_stock.py (same vehicles, same photos):

  make_xml_feed_stock.py [--extracts DIR]
      writes ExpDatasInfoPress.xml (RAD1, INFOPRESS), ExpDatasTopAnnonces.xml
      (TOPANNONCES) and ExpDatasAUTOREFLEX.xml (AUTOREFLEX) as the stock
      database does (Windows-1252 XML). Default DIR: the "stock" folder
      beside this script.
"""
import argparse
import os

from make_stock import SITES, build_fleet, catalogue_text, record_extract


def seller(v):
    return v["seller"]


def registration(v):
    return "01/%02d/%d" % (v["month"], v["year"])


def infopress_record(v):
    site = v["site"]
    name, phone, mail = seller(v)
    months = v["guarantee"].split(" ")[0] if v["guarantee"] else ""
    return [
        ("idVO", v["idVO"]), ("idNVO", v["idNVO"]), ("TypeVO", v["TypeVO"]),
        ("InfoMarque", v["brand"]), ("InfoModele", v["model"]), ("ModeleVersion", v["version"]),
        ("Carrosserie", v["body"]), ("Puissance", v["fiscal"]), ("Couleur", v["colour"]), ("MEC", registration(v)),
        ("Kilometrage", v["mileage"]), ("NbPortes", v["doors"]), ("NbPlaces", v["seats"]), ("PrixDuBien", v["price"]),
        ("Garantie", v["guarantee"].lower()), ("GARANTIE", months),
        ("EqutInterieur", v["interior"]), ("EqutExterieur", v["exterior"]), ("EqutSecurite", v["safety"]),
        ("InfoComplement", v["info"]),
        ("InfoVille", v["site_key"]), ("RefVille", site["RefVille"]), ("RefSite", site["RefSite"]),
        ("RefExpo", v["expo"]), ("id_Track", site["id_Track"]),
        ("CodePostal", site["client"]["CODE_POSTAL"]), ("telephone", phone.replace(" ", ".")), ("email", mail),
        ("contact", name),
        ("LibelleSociete", site["LibelleSociete"]), ("HorairesCommercial", site["HorairesCommercial"]),
        ("MsgAnnonce", v["ad_text"]), ("MsgGarCons", "Garantie pièces et main d'oeuvre selon conditions"),
        ("SIREN", "4081%05d" % (v["idVO"] % 100000)), ("Ref", ""),
    ] + [("photo%d" % n, "") for n in range(1, 7)]


def topannonces_record(v):
    name, phone, mail = seller(v)
    return [
        ("idVO", v["idVO"]), ("TypeVO", v["TypeVO"]), ("reference", v["idNVO"]),
        ("marque", v["brand"]), ("modele", v["model"]), ("MODELEVERSION", v["version"]),
        ("EqutInterieur", v["interior"]), ("EqutExterieur", v["exterior"]), ("EqutSecurite", v["safety"]),
        ("InfoComplement", v["info"]),
        ("Carrosserie", v["body"]), ("BOITE_DE_VITESSE", v["gearbox"]), ("NB_PORTES", v["doors"]),
        ("Kilometrage", v["mileage"]), ("Couleur", v["colour"]), ("Energie", v["fuel"]),
        ("YearMEC", v["year"]), ("FirstMEC", registration(v)), ("Garantie", v["guarantee"].lower()),
        ("InfoVille", v["site_key"]), ("RefSite", v["site"]["RefSite"]), ("RefExpo", v["expo"]),
        ("tel_agence", phone), ("email", mail),
    ] + [("NOMPHOTO%d" % n, "") for n in range(1, 7)] + [("complements", "")]


def autoreflex_record(v):
    site = v["site"]
    name, phone, mail = seller(v)
    return [
        ("idVO", v["idVO"]), ("idNVO", v["idNVO"]), ("TypeVO", v["TypeVO"]),
        ("Rubrique", v["brand"]), ("SousRubrique", v["model"]), ("ModeleVersion", v["version"]),
        ("RefSite", site["RefSite"]), ("RefExpo", v["expo"]), ("RefVille", site["RefVille"]),
        ("InfoVille", v["site_key"]), ("id_Track", site["id_Track"]), ("telephone", phone), ("email", mail),
        ("EqutInterieur", v["interior"]), ("EqutExterieur", v["exterior"]), ("EqutSecurite", v["safety"]),
        ("InfoComplement", v["info"]),
    ] + [("NomPhoto%d" % n, "") for n in range(1, 7)] + [
        ("PrixDuBien", v["price"]), ("PrixConstructeur", catalogue_text(v)), ("Kilometrage", v["mileage"]),
        ("Couleur", v["colour"]), ("Energie", v["fuel"]), ("AnneeMEC", v["year"]),
    ]


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--extracts", help="folder of the stock extracts (default: stock/ beside this script)")
    folder = parser.parse_args().extracts or os.path.join(here, "stock")
    os.makedirs(folder, exist_ok=True)
    vehicles = build_fleet()
    for name, data in (("ExpDatasInfoPress.xml", record_extract(vehicles, infopress_record, "qryExportInfoPress")),
                       ("ExpDatasTopAnnonces.xml", record_extract(vehicles, topannonces_record, "qryExportTopAnnonces")),
                       ("ExpDatasAUTOREFLEX.xml", record_extract(vehicles, autoreflex_record, "qryExportAutoReflex"))):
        with open(os.path.join(folder, name), "wb") as f:
            f.write(data)
        print("%s: %d bytes" % (os.path.join(folder, name), len(data)))


if __name__ == "__main__":
    main()
