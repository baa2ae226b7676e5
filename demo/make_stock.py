#!/usr/bin/env python3
"""Demo stock of the KORD dealer group: two sites, twenty used and demonstration
vehicles of the Volkswagen group.

  make_stock.py [--extracts DIR]
      writes the stock extracts as the stock database does (Windows-1252 XML):
      ExpDatasAutoScout24.xml, ExpDatasVPN.xml, ExpDatasLEBONCOIN.xml,
      ExpDatasNeoWebCar.xml, ExpDatasLArgus.xml, ExpDatasPVO.xml,
      ExpDatasPARUVENDU.xml, ExpDatasVIVACAR.xml.
      Default DIR: the "stock" folder beside this script.
  make_stock.py --photos STORE [--server FOLDER]
      draws every vehicle photo and its thumbnail ("m.jpg") into the photo
      store with ImageMagick (/usr/bin/convert); with --server, also copies
      them into the image server's folder, except those of the newest
      arrivals, which the exports are to publish.

Everything is derived from a fixed seed: two runs give the same stock.
"""
import argparse
import os
import random
import shutil
import subprocess
import sys
from xml.sax.saxutils import escape, quoteattr

SEED = 20260112
CONVERT = "/usr/bin/convert"  # the real ImageMagick, whatever comes first on PATH
NEWEST_ARRIVALS = 4           # vehicles whose photos are not on the image server yet
GROUP = "KORD"

SITES = {
    "PELMAR": {
        "id_Track": "pelmar", "RefSite": "pelmar-dorn", "RefExpo": "pelmar-dorn", "RefVille": "Dorn",
        "folder": "pel",
        "LibelleSociete": "Pelmar Automobiles - Volkswagen Audi Dorn",
        "HorairesCommercial": "Du lundi au vendredi de 8h30 à 12h et de 14h à 19h, le samedi de 9h à 18h",
        "sellers": [("Julien Martel", "06 39 98 12 40", "j.martel@pelmar-automobiles.example"),
                    ("Sophie Lérant", "06 39 98 27 15", "s.lerant@pelmar-automobiles.example")],
        # InfosSR: the first seller's own number and mail give way to the site's.
        "InfosSR": {"Telephone": "06 39 98 12 40", "Mail": "j.martel@pelmar-automobiles.example",
                    "SRTel": "03 53 48 10 10", "SRMail": "contact@pelmar-automobiles.example"},
        "client": {"CODECLIENT": "51203", "TypeVO": "1", "RAISON_SOCIALE": "PELMAR AUTOMOBILES",
                   "Adresse": "12 route de Besançon", "CODE_POSTAL": "39160", "VILLE": "Dorn",
                   "Telephone": "03 53 48 10 10", "Fax": "03 53 48 10 19",
                   "email": "contact@pelmar-automobiles.example", "Web": "http://www.pelmar-automobiles.example",
                   "idAnnonceur": "884120"},
    },
    "QUIVALE": {
        "id_Track": "quivale", "RefSite": "quivale", "RefExpo": "quivale", "RefVille": "Quivale",
        "folder": "qui",
        "LibelleSociete": "Garage de Quivale - Skoda Seat",
        "HorairesCommercial": "Du mardi au samedi de 9h à 12h et de 14h à 18h30",
        "sellers": [("Karim Bensaïd", "06 39 98 41 62", "k.bensaid@garage-quivale.example"),
                    ("Élodie Vasseur", "06 39 98 55 08", "e.vasseur@garage-quivale.example")],
        # InfosSR: "ALL" puts the site's switchboard on every ad of the site.
        "InfosSR": {"Telephone": "ALL", "Mail": "ventes@garage-quivale.example",
                    "SRTel": "03 53 48 22 40", "SRMail": "ventes@garage-quivale.example"},
        "client": {"CODECLIENT": "51204", "TypeVO": "", "RAISON_SOCIALE": "GARAGE DE QUIVALE",
                   "Adresse": "ZA des Tilleuls, 4 rue Pasteur", "CODE_POSTAL": "39230", "VILLE": "Quivale",
                   "Telephone": "03 53 48 22 40", "Fax": "",
                   "email": "ventes@garage-quivale.example", "Web": "http://www.garage-quivale.example",
                   "idAnnonceur": "884121"},
    },
}

# brand code, model, version (as the database names it: model first), body,
# doors, seats, fiscal power, real power (ch), CO2, fuel, gearbox, new price,
# VIN prefix, equipment always fitted (interior, exterior, safety)
MODELS = {
    "up":      ("VW", "up!", "up! 1.0 65 Move up!", "Citadine", "3p", 4, 3, 65, 108, "essence", "manuelle", 15490,
                "WVWZZZAAZ", ";Clim;RadCD;VitreElect;DirAss;", ";RetrElec;", ";ABS;ESP;AirbagCond;AirbagPass;VerCent;AntiDem;"),
    "polo":    ("VW", "Polo", "Polo 1.0 TSI 95 Confortline", "Citadine", "5 portes", 5, 5, 95, 112, "essence", "manuelle", 21990,
                "WVWZZZAWZ", ";Clim;RadMP3;VitreElect;DirAss;BluToo;", ";RetrElec;", ";ABS;ESP;AirbagCond;AirbagPass;AirbagLat;VerCent;AntiDem;"),
    "golf":    ("VW", "Golf", "Golf 1.5 TSI 130 Life", "Berline", "5 portes", 5, 7, 130, 128, "essence", "manuelle", 30990,
                "WVWZZZCDZ", ";ClimAuto;GPS;RegVit;OrdiBord;DirAss;VitreElect;BluToo;", ";RetrElec;JantAlu;", ";ABS;ESP;AirbagCond;AirbagPass;AirbagLat;VerCent;AntiDem;AntiPat;"),
    "golfsw":  ("VW", "Golf SW", "Golf SW 2.0 TDI 115 Style DSG7", "Break", "5 portes", 5, 6, 115, 118, "diesel", "automatique", 36290,
                "WVWZZZCDZ", ";ClimAuto;GPS;RegVit;OrdiBord;DirAss;VitreElect;SChauf;", ";RetrElec;JantAlu;Radrecul;", ";ABS;ESP;AirbagCond;AirbagPass;AirbagLat;VerCent;AntiDem;AntiPat;"),
    "troc":    ("VW", "T-Roc", "T-Roc 1.5 TSI 150 R-Line DSG7", "SUV", "5 portes", 5, 8, 150, 142, "essence", "automatique", 38650,
                "WVGZZZA1Z", ";ClimAuto;GPS;RegVit;OrdiBord;DirAss;VitreElect;VMFonct;", ";RetrElec;JantAlu;Radrecul;Radavant;", ";ABS;ESP;AirbagCond;AirbagPass;AirbagLat;VerCent;AntiDem;AntiBrou;"),
    "tiguan":  ("VW", "Tiguan", "Tiguan 2.0 TDI 150 Elegance DSG7", "SUV", "5 portes", 5, 8, 150, 139, "diesel", "automatique", 47950,
                "WVGZZZ5NZ", ";ClimAuto;GPS;RegVit;OrdiBord;DirAss;VitreElect;SChauf;VMFonct;", ";RetrElec;JantAlu;Radrecul;Radavant;AttRem;", ";ABS;ESP;AirbagCond;AirbagPass;AirbagLat;VerCent;AntiDem;LXen;"),
    "passat":  ("VW", "Passat SW", "Passat SW 2.0 TDI 150 Business DSG7", "Break", "5 portes", 5, 8, 150, 129, "diesel", "automatique", 49470,
                "WVWZZZ3CZ", ";ClimAuto;GPS;RegVit;OrdiBord;DirAss;VitreElect;SChauf;SElect;", ";RetrElec;JantAlu;Radrecul;PorBag;", ";ABS;ESP;AirbagCond;AirbagPass;AirbagLat;VerCent;AntiDem;LXen;"),
    "caddy":   ("VU", "Caddy Van", "Caddy Van 2.0 TDI 102 Business", "Fourgon", "4 portes", 2, 6, 102, 139, "diesel", "manuelle", 29880,
                "WV1ZZZSKZ", ";Clim;RadCD;DirAss;VitreElect;", ";RetrElec;", ";ABS;ESP;AirbagCond;AirbagPass;VerCent;AntiDem;"),
    "id3":     ("VW", "ID.3", "ID.3 Pro Performance 204 Life", "Berline", "5 portes", 5, 9, 204, 0, "electrique", "automatique", 41990,
                "WVWZZZE1Z", ";ClimAuto;GPS;RegVit;DirAss;VitreElect;SChauf;AppAnd;", ";RetrElec;JantAlu;Radrecul;Led;", ";ABS;ESP;AirbagCond;AirbagPass;AirbagLat;VerCent;AntiDem;CtPress;"),
    "a1":      ("Audi", "A1 Sportback", "A1 Sportback 30 TFSI 110 Advanced", "Citadine", "5 portes", 5, 6, 110, 118, "essence", "manuelle", 28950,
                "WAUZZZGBZ", ";Clim;GPS;RadMP3;DirAss;VitreElect;BluToo;", ";RetrElec;JantAlu;", ";ABS;ESP;AirbagCond;AirbagPass;AirbagLat;VerCent;AntiDem;"),
    "a3":      ("Audi", "A3 Sportback", "A3 Sportback 35 TFSI 150 S line S tronic 7", "Berline", "5 portes", 5, 8, 150, 131, "essence", "automatique", 42350,
                "WAUZZZGYZ", ";ClimAuto;GPS;RegVit;OrdiBord;DirAss;VitreElect;SCuir;SChauf;", ";RetrElec;JantAlu;Radrecul;", ";ABS;ESP;AirbagCond;AirbagPass;AirbagLat;VerCent;AntiDem;LXen;"),
    "q3":      ("Audi", "Q3", "Q3 35 TDI 150 Business line S tronic 7", "SUV", "5 portes", 5, 8, 150, 147, "diesel", "automatique", 48900,
                "WAUZZZF3Z", ";ClimAuto;GPS;RegVit;OrdiBord;DirAss;VitreElect;SChauf;", ";RetrElec;JantAlu;Radrecul;Radavant;AttRem;", ";ABS;ESP;AirbagCond;AirbagPass;AirbagLat;VerCent;AntiDem;LXen;"),
    "tt":      ("Audi", "TT Coupé", "TT Coupe 40 TFSI 197 S line S tronic 7", "Coupé", "3 portes", 4, 11, 197, 159, "essence", "automatique", 51400,
                "TRUZZZFVZ", ";ClimAuto;GPS;RegVit;OrdiBord;DirAss;VitreElect;SCuir;SChauf;", ";RetrElec;JantAlu;Radrecul;PMat;", ";ABS;ESP;AirbagCond;AirbagPass;AirbagLat;VerCent;AntiDem;LXen;Alarme;"),
    "fabia":   ("Skoda", "Fabia", "Fabia 1.0 TSI 95 Ambition", "Citadine", "5 portes", 5, 5, 95, 113, "essence", "manuelle", 20770,
                "TMBJZZNJZ", ";Clim;RadMP3;DirAss;VitreElect;BluToo;", ";RetrElec;", ";ABS;ESP;AirbagCond;AirbagPass;VerCent;AntiDem;"),
    "octavia": ("Skoda", "Octavia Combi", "Octavia Combi 2.0 TDI 150 Style DSG7", "Break", "5 portes", 5, 8, 150, 122, "diesel", "automatique", 39630,
                "TMBJJ7NXZ", ";ClimAuto;GPS;RegVit;OrdiBord;DirAss;VitreElect;SChauf;", ";RetrElec;JantAlu;Radrecul;", ";ABS;ESP;AirbagCond;AirbagPass;AirbagLat;VerCent;AntiDem;"),
    "kodiaq":  ("Skoda", "Kodiaq", "Kodiaq 2.0 TDI 150 4x4 Sportline DSG7 7 places", "SUV", "5 portes", 7, 8, 150, 163, "diesel", "automatique", 52150,
                "TMBLJ9NSZ", ";ClimAuto;GPS;RegVit;OrdiBord;DirAss;VitreElect;SChauf;SElect;", ";RetrElec;JantAlu;Radrecul;Radavant;AttRem;PorBag;", ";ABS;ESP;AirbagCond;AirbagPass;AirbagLat;VerCent;AntiDem;LXen;"),
    "ibiza":   ("Seat", "Ibiza", "Ibiza 1.0 TSI 110 FR", "Citadine", "5 portes", 5, 6, 110, 117, "essence", "manuelle", 22870,
                "VSSZZZKJZ", ";Clim;GPS;RadMP3;DirAss;VitreElect;", ";RetrElec;JantAlu;", ";ABS;ESP;AirbagCond;AirbagPass;AirbagLat;VerCent;AntiDem;"),
    "leon":    ("Seat", "Leon", "Leon 1.5 eTSI 150 FR DSG7", "Berline", "5 portes", 5, 8, 150, 119, "hybride", "automatique", 34520,
                "VSSZZZKLZ", ";ClimAuto;GPS;RegVit;OrdiBord;DirAss;VitreElect;", ";RetrElec;JantAlu;Radrecul;", ";ABS;ESP;AirbagCond;AirbagPass;AirbagLat;VerCent;AntiDem;"),
    "ateca":   ("Seat", "Ateca", "Ateca 1.5 TSI 150 Xperience DSG7", "SUV", "5 portes", 5, 8, 150, 146, "essence", "automatique", 37990,
                "VSSZZZ5FZ", ";ClimAuto;GPS;RegVit;OrdiBord;DirAss;VitreElect;", ";RetrElec;JantAlu;Radrecul;", ";ABS;ESP;AirbagCond;AirbagPass;AirbagLat;VerCent;AntiDem;"),
}

# site, TypeVO (1 used, 2 demonstration), model, guarantee type ("" none)
FLEET = [
    ("PELMAR", 1, "golf", "Das WeltAuto"), ("PELMAR", 1, "polo", ""), ("PELMAR", 1, "tiguan", "Das WeltAuto"),
    ("PELMAR", 1, "a3", ""), ("PELMAR", 1, "up", ""), ("PELMAR", 1, "passat", "Das WeltAuto"),
    ("PELMAR", 1, "caddy", ""), ("PELMAR", 2, "troc", ""), ("PELMAR", 2, "q3", ""), ("PELMAR", 2, "id3", ""),
    ("QUIVALE", 1, "octavia", ""), ("QUIVALE", 1, "ibiza", ""), ("QUIVALE", 1, "golfsw", "Das WeltAuto"),
    ("QUIVALE", 1, "tt", ""), ("QUIVALE", 1, "fabia", ""), ("QUIVALE", 2, "kodiaq", ""),
    ("QUIVALE", 2, "leon", ""), ("QUIVALE", 2, "ateca", ""), ("QUIVALE", 2, "a1", ""), ("QUIVALE", 2, "golf", ""),
]
EXHIBITED_ELSEWHERE = {3: "quivale"}  # fleet index -> exhibition site other than the selling site
EXCLUDED = (6, 14)                     # fleet indexes barred from the annonce portals

COLOURS = [("Gris Platine", "#a9adb1"), ("Blanc Pur", "#eef0f0"), ("Noir Intense", "#1d1e20"),
           ("Bleu Atlantique", "#27466e"), ("Rouge Tornado", "#b3171d"), ("Argent Réflexe", "#c6c9cc"),
           ("Gris Lune", "#6e7378"), ("Bleu Ravenne", "#3b5f8a")]
OPTION_POOL = {
    "int": ["Clim", "ToitOuvr", "RadCD", "GPS", "RegVit", "OrdiBord", "SChauf", "SElect", "SCuir",
            "VitreTeint", "VMFonct", "ChaufAux", "LimVit", "AppAnd"],
    "ext": ["PMat", "JantAll", "Radrecul", "AttRem", "PorBag", "CamRecul", "BarToit", "Led"],
    "sec": ["AntiBrou", "LXen", "Alarme", "AntiPat", "CtPress", "DetAng", "KAcc"],
}
LABELS = {
    "Clim": "Climatisation", "ClimAuto": "Climatisation automatique", "ToitOuvr": "Toit ouvrant",
    "RadCD": "Radio CD", "RadMP3": "Radio MP3", "RadCass": "Radio cassette", "GPS": "GPS",
    "RegVit": "Régulateur de vitesse", "OrdiBord": "Ordinateur de bord", "DirAss": "Direction assistée",
    "SChauf": "Sièges chauffants", "SElect": "Sièges électriques", "SCuir": "Sellerie cuir",
    "VitreElect": "Vitres électriques", "VitreTeint": "Vitres surteintées", "VMFonct": "Volant multifonctions",
    "ChaufAux": "Chauffage auxiliaire", "BluToo": "Bluetooth", "LimVit": "Limiteur de vitesse",
    "AppAnd": "Apple CarPlay et Android Auto", "RetrElec": "Rétroviseurs électriques",
    "PMat": "Peinture métallisée", "JantAlu": "Jantes aluminium", "JantAll": "Jantes alliage",
    "Radrecul": "Radar de recul", "Radavant": "Radar avant", "AttRem": "Attelage", "PorBag": "Porte-bagages",
    "CamRecul": "Caméra de recul", "BarToit": "Barres de toit", "Led": "Phares à LED",
    "AntiDem": "Antidémarrage", "Alarme": "Alarme", "ABS": "ABS", "ESP": "ESP",
    "AirbagCond": "Airbag conducteur", "AirbagPass": "Airbag passager", "AirbagLat": "Airbags latéraux",
    "VerCent": "Verrouillage centralisé", "AntiBrou": "Projecteurs antibrouillard", "LXen": "Projecteurs xénon",
    "AntiPat": "Antipatinage", "CtPress": "Contrôle de pression des pneus", "DetAng": "Détection d'angle mort",
    "KAcc": "Accès sans clé", "Gar": "Garantie", "GarCons": "Garantie constructeur",
    "VNF": "Véhicule non fumeur", "StatGar": "Entretien suivi en concession",
}
AD_TEXTS = ["Véhicule révisé et contrôlé, carnet d'entretien à jour.",
            "Reprise possible, financement sur mesure : nous consulter.",
            "Révision complète effectuée, pneumatiques neufs.\nDisponible immédiatement.",
            "Courroie de distribution remplacée, contrôle technique OK.",
            "Véhicule de démonstration de la concession, état neuf."]
PLATE_LETTERS = "ABCDEFGHJKLMNPQRSTVWXYZ"
VIN_YEARS = "JKLMNPRST"  # model year letters, 2018 to 2026
VIN_CHARS = "ABCDEFGHJKLMNPRSTUVWXYZ0123456789"


def pick_codes(rng, base, pool, count):
    codes = [c for c in base.strip(";").split(";") if c]
    extra = [c for c in pool if c not in codes and not (c == "Clim" and "ClimAuto" in codes)]
    codes += rng.sample(extra, min(count, len(extra)))
    return ";" + ";".join(codes) + ";"


def build_fleet():
    """The vehicles, each as a dict of neutral data, in publication order."""
    rng = random.Random(SEED)
    vehicles = []
    for index, (site_key, type_vo, model_key, guarantee_type) in enumerate(FLEET):
        site = SITES[site_key]
        (brand, model, version, body, doors, seats, fiscal, power, co2, fuel, gearbox, new_price,
         vin_prefix, interior, exterior, safety) = MODELS[model_key]
        id_vo = 48201 + index * 3 + rng.randint(0, 2)
        if type_vo == 2:
            year, month = 2026, rng.randint(2, 9)
            mileage = rng.randint(12, 90) * 100
            discount = rng.choice([0.06, 0.08, 0.12, 0.15, 0.18, 0.22, 0.27])
            catalogue = new_price + rng.randint(0, 6) * 250
            price = int(round(catalogue * (1 - discount) / 10.0)) * 10 - 10
        else:
            year = rng.randint(2018, 2024)
            month = rng.randint(1, 12)
            age = 2026 - year
            mileage = age * rng.randint(95, 190) * 100 + rng.randint(0, 99)
            price = int(new_price * (0.9 ** age) - mileage * 0.03)
            price = max(5990, price // 100 * 100 - 10)
            catalogue = 0
            if age <= 2 and guarantee_type:  # nearly new: the catalogue price is shown
                catalogue = new_price
        colour, rgb = COLOURS[rng.randrange(len(COLOURS))]
        seller = site["sellers"][rng.randrange(len(site["sellers"]))]
        if type_vo == 2:
            months = "24 MOIS"
        elif guarantee_type:
            months = rng.choice(["12 MOIS", "24 MOIS"])
        else:
            months = rng.choice(["12 MOIS", "12 MOIS", "6 Mois", ""])
        info = [";Gar;"] if months else [";StatGar;"]
        if rng.random() < 0.6:
            info.append("VNF;")
        vehicles.append({
            "index": index, "site_key": site_key, "site": site, "TypeVO": type_vo, "idVO": id_vo,
            "idNVO": 2310400 + id_vo % 1000 * 7, "brand": brand, "model": model, "version": version,
            "body": body, "doors": doors, "seats": seats, "fiscal": fiscal, "power": power, "co2": co2,
            "fuel": fuel, "gearbox": gearbox, "price": price, "catalogue": catalogue,
            "year": year, "month": month, "mileage": mileage, "colour": colour, "rgb": rgb,
            "interior": pick_codes(rng, interior, OPTION_POOL["int"], rng.randint(0, 3)),
            "exterior": pick_codes(rng, exterior, OPTION_POOL["ext"], rng.randint(0, 2)),
            "safety": pick_codes(rng, safety, OPTION_POOL["sec"], rng.randint(0, 2)),
            "info": "".join(info),
            "guarantee": months, "guarantee_type": guarantee_type or
            ("Garantie constructeur" if type_vo == 2 else "Garantie Kord"),
            "first_hand": rng.random() < 0.55, "seller": seller,
            "expo": EXHIBITED_ELSEWHERE.get(index, site["RefExpo"]),
            "vin": vin_prefix + VIN_YEARS[year - 2018] + "".join(rng.choice(VIN_CHARS) for _ in range(7)),
            "plate": "%s%s-%03d-%s%s" % (rng.choice(PLATE_LETTERS), rng.choice(PLATE_LETTERS), rng.randint(1, 999),
                                         rng.choice(PLATE_LETTERS), rng.choice(PLATE_LETTERS)),
            "photos": rng.randint(1, 4), "ad_text": AD_TEXTS[4] if type_vo == 2 else rng.choice(AD_TEXTS[:4]),
            "status": "", "promo": "0", "flash": "0",
            "z_tag": False, "business": False,
        })
    # a few commercial marks, placed by hand so that every feature shows once
    vehicles[1]["status"], vehicles[11]["status"] = "res", "VEN"
    vehicles[4]["promo"], vehicles[16]["flash"] = "1", "1"
    vehicles[15]["z_tag"] = vehicles[17]["z_tag"] = True
    vehicles[9]["business"] = True
    for v in vehicles:
        v["photo_names"] = ["%s/%s/%d-%d" % (v["site"]["folder"], "vo" if v["TypeVO"] == 1 else "vd", v["idVO"], n)
                            for n in range(1, v["photos"] + 1)]
    return vehicles


class XmlWriter:
    """Indented XML, one element per line, as text to be encoded in Windows-1252."""

    def __init__(self):
        self.lines = ['<?xml version="1.0" encoding="windows-1252"?>']
        self.depth = 0

    def open(self, name, attributes=()):
        attrs = "".join(" %s=%s" % (k, quoteattr(v)) for k, v in attributes)
        self.lines.append("  " * self.depth + "<%s%s>" % (name, attrs))
        self.depth += 1

    def close(self, name):
        self.depth -= 1
        self.lines.append("  " * self.depth + "</%s>" % name)

    def leaf(self, name, value):
        text = escape(str(value))
        self.lines.append("  " * self.depth + ("<%s>%s</%s>" % (name, text, name) if text else "<%s/>" % name))

    def record(self, name, fields):
        self.open(name)
        for key, value in fields:
            self.leaf(key, value)
        self.close(name)

    def record_list(self, list_name, record_name, records):
        attributes = (("EOF", "False" if records else "True"), ("RecordName", record_name))
        self.open(list_name, attributes)
        for fields in records:
            self.record(record_name, fields)
        self.close(list_name)

    def data(self):
        return ("\r\n".join(self.lines) + "\r\n").encode("cp1252")


def photo_links(vehicles):
    return [[("idVO", v["idVO"]), ("NomImage", name)] for v in vehicles for name in v["photo_names"]]


def equipment_labels():
    return [[("AbbrEquip", code.upper()), ("LibelleEquipement", label)] for code, label in LABELS.items()]


def site_contacts():
    records = []
    for key, site in SITES.items():
        sr = site["InfosSR"]
        records.append([("idSite", key), ("Site", key), ("Telephone", sr["Telephone"]), ("Mail", sr["Mail"]),
                        ("SRTel", sr["SRTel"]), ("SRMail", sr["SRMail"])])
    return records


def aliases(writer, source):
    writer.open("Aliases")
    for list_name, table in (("DataVOS", source), ("LiensImagesS", "qryLiensImages"),
                             ("LiensEquipementsS", "tblEquipements"), ("InfosSRS", "qryInfosSR")):
        writer.record("Alias", [("Nom", list_name), ("Source", table)])
    writer.close("Aliases")


def catalogue_text(v):
    return str(v["catalogue"]) if v["catalogue"] else "0"


def scout_record(v):
    return [
        ("idVO", v["idVO"]), ("idNVO", v["idNVO"]), ("TypeVO", v["TypeVO"]),
        ("IMarque", v["brand"]), ("IModele", v["model"]), ("IVersion", v["version"]),
        ("RefSite", v["site"]["RefSite"]), ("RefExpo", v["expo"]),
        ("PrixDuBien", v["price"]), ("PrixConstructeur", catalogue_text(v)),
        ("TypeGarantie", v["guarantee_type"] if v["guarantee_type"] == "Das WeltAuto" else ""),
        ("TypeBoiteVitesse", v["gearbox"]), ("TypeCarrosserie", v["body"]), ("Couleur", v["colour"]),
        ("Energie", v["fuel"]), ("MoisMEC", v["month"]), ("AnneeMEC", v["year"]),
        ("Kilometrage", v["mileage"]), ("NombreDePortes", v["doors"]), ("NbPlaces", v["seats"]),
        ("Puissance", v["power"]), ("Garantie", v["guarantee"]),
        ("InfoEquiInterieur", v["interior"]), ("InfoEquiExterieur", v["exterior"]),
        ("InfoEquiSecurite", v["safety"]), ("CO2", v["co2"]), ("NChassis", v["vin"]),
        ("Immatriculation", v["plate"]), ("InfoVR", v["status"]), ("pPromo", v["promo"]), ("pFlash", v["flash"]),
    ]


def scout_extract(vehicles, source):
    return record_extract(vehicles, scout_record, source)


def record_extract(vehicles, record, source):
    """One DataVO per vehicle written by `record`, with the photo links, equipment labels and site contacts."""
    w = XmlWriter()
    w.open("document")
    w.record_list("DataVOS", "DataVO", [record(v) for v in vehicles])
    w.record_list("LiensImagesS", "LiensImages", photo_links(vehicles))
    w.record_list("LiensEquipementsS", "LiensEquipements", equipment_labels())
    w.record_list("InfosSRS", "InfosSR", site_contacts())
    aliases(w, source)
    w.close("document")
    return w.data()


def annonce_record(v):
    site = v["site"]
    seller_name, seller_phone, seller_mail = v["seller"]
    guarantee_label = "Das WeltAuto" if v["guarantee_type"] == "Das WeltAuto" else (
        "Garantie %s" % v["guarantee"].lower() if v["guarantee"] else "Garantie Kord")
    slots = [(("NOMPHOTO%d" % n), v["photo_names"][n - 1] if n <= len(v["photo_names"]) else "")
             for n in range(1, 7)]
    return [
        ("idVO", v["idVO"]), ("TypeVO", v["TypeVO"]),
        ("MARQUE", v["brand"]), ("MODELE", v["model"]), ("VERSION", v["version"]),
        ("RefVille", site["RefVille"]), ("RefSite", site["RefSite"]), ("RefExpo", v["expo"]),
        ("REFERENCE", v["idNVO"]), ("id_Track", site["id_Track"]), ("InfoVille", v["site_key"]),
        ("Concession", GROUP),
        ("TELEPHONE_A_AFFICHER", seller_phone), ("EMAIL_A_AFFICHER", seller_mail),
        ("CONTACT_A_AFFICHER", seller_name),
        ("CATEGORIE", v["body"]), ("ENERGIE", v["fuel"]), ("BOITE_DE_VITESSE", v["gearbox"]),
        ("COULEUR", v["colour"]), ("KILOMETRAGE", v["mileage"]),
        ("MISE_EN_CIRCULATION", "01/%02d/%d" % (v["month"], v["year"])),
        ("PUISSANCE_FISCALE", v["fiscal"]), ("NB_PLACES", v["seats"]),
        ("GARANTIE", v["guarantee"]), ("NB_PORTES", v["doors"]),
        ("PREMIERE_MAIN", "-1" if v["first_hand"] else "0"),
        ("EQUTINTERIEUR", v["interior"]), ("EQUTEXTERIEUR", v["exterior"]),
        ("EQUTSECURITE", v["safety"]), ("INFOCOMPLEMENT", v["info"]),
        ("MsgGarCons", "Garantie pièces et main d'oeuvre selon conditions en concession"),
        ("MsgAnnonce", v["ad_text"]),
        ("LibelleSociete", site["LibelleSociete"]), ("HorairesCommercial", site["HorairesCommercial"]),
        ("PrixCatalogue", catalogue_text(v)), ("PRIX", v["price"]),
        ("InfoVA", "VA" if v["business"] else "VP"),
        ("vMarque", v["brand"] + ("Z" if v["z_tag"] else "")),
        ("vGarantie", guarantee_label), ("TypeGarantie", v["guarantee_type"]),
        ("TUNING", ""),
    ] + slots


def paruvendu_record(v):
    """ParuVendu's extract names the fuel and body elements in mixed case and carries the plate."""
    fields = [("Energie", value) if name == "ENERGIE" else (name, value) for name, value in annonce_record(v)]
    at = [name for name, _ in fields].index("BOITE_DE_VITESSE")
    return fields[:at] + [("Carrosserie", v["body"]), ("NUMERO_IMMATRICULATION", v["plate"])] + fields[at:]


def vivacar_record(v):
    """Vivacar's extract adds the catalogue data of the Vivacar import."""
    fields = [("Energie", value) if name == "ENERGIE" else
              ("GARANTIE", value.replace("MOIS", "Mois")) if name == "GARANTIE" else (name, value)
              for name, value in annonce_record(v)]
    entry = "%02d/%02d/2026" % (1 + v["index"] % 28, 1 + v["index"] % 2)
    leaving = "20/02/2026" if v["status"] == "VEN" else ""
    return fields + [("CODE_CLIENT", SITES[v["site_key"]]["client"]["CODECLIENT"]),
                     ("NUMERO_IMMATRICULATION", v["plate"]), ("CO2", v["co2"]), ("Chassis", v["vin"]),
                     ("Date_Entree", entry), ("Date_Sortie", leaving),
                     ("Provenance", "Reprise client" if v["TypeVO"] == 1 else "Parc constructeur")]


def client_block(site_key):
    c = SITES[site_key]["client"]
    return [("CODECLIENT", c["CODECLIENT"]), ("TypeVO", c["TypeVO"]), ("InfoVille", site_key),
            ("cGroup", GROUP)] + [(k, c[k]) for k in ("RAISON_SOCIALE", "Adresse", "CODE_POSTAL", "VILLE",
                                                      "Telephone", "Fax", "email", "Web", "idAnnonceur")]


def annonce_extract(vehicles, record=annonce_record):
    w = XmlWriter()
    w.open("document")
    w.record_list("ListExclusionsS", "ListExclusions", [[("idtVO", vehicles[i]["idVO"])] for i in EXCLUDED])
    w.record_list("COORDONNEESS", "COORDONNEES", [client_block(key) for key in SITES])
    w.record_list("DataVOS", "DataVO", [record(v) for v in vehicles])
    w.record_list("LiensImagesS", "LiensImages", photo_links(vehicles))
    w.record_list("LiensEquipementsS", "LiensEquipements", equipment_labels())
    w.record_list("InfosSRS", "InfosSR", site_contacts())
    aliases(w, "qryExportAnnonces")
    w.close("document")
    return w.data()


def registration_date(v):
    return "01/%02d/%d" % (v["month"], v["year"])


def neowebcar_record(v):
    seller_name, seller_phone, seller_mail = v["seller"]
    return [
        ("idVO", v["idVO"])] + [("LienImage%d" % n, "") for n in range(1, 8)] + [
        ("TypeVO", v["TypeVO"]), ("Marque", v["brand"]), ("Modele", v["model"]), ("Version", v["version"]),
        ("RefExpo", v["expo"]), ("RefSite", v["site"]["RefSite"]), ("idNVO", v["idNVO"]),
        ("PrixCatalogue", catalogue_text(v)), ("Prix", v["price"]), ("InfoOptions", ";GPS;" if v["index"] % 3 else ""),
        ("InfoEquiInterieur", v["interior"]), ("InfoEquiExterieur", v["exterior"]), ("InfoEquiSecurite", v["safety"]),
        ("NChassis", v["vin"]), ("StatutVD", "VD demo" if v["TypeVO"] == 2 else "VN" if v["index"] % 5 == 0 else "VO"),
        ("Couleur", v["colour"]), ("CouleurInt", "Tissu noir; gris"),
        ("Options3270", "WB1, pack hiver,PZ4" if v["index"] % 2 else ""), ("MontantAideReprise", "1500" if v["TypeVO"] == 2 else "0"),
        ("Kilometrage", v["mileage"]), ("MEC", registration_date(v)), ("NbPortes", v["doors"]),
        ("Immatriculation", v["plate"]), ("Contact", "STANDARD" if v["index"] % 4 == 0 else seller_name),
        ("telephone", seller_phone), ("email", seller_mail),
    ]


def neowebcar_extract(vehicles):
    w = XmlWriter()
    w.open("document")
    w.record_list("DataVOS", "DataVO", [neowebcar_record(v) for v in vehicles])
    w.record_list("LiensImagesS", "LiensImages", photo_links(vehicles))
    w.record_list("LiensEquipementsS", "LiensEquipements", equipment_labels())
    w.close("document")
    return w.data()


def largus_record(v):
    site = v["site"]
    seller_name, seller_phone, seller_mail = v["seller"]
    return [
        ("idVO", v["idVO"]), ("TypeVO", v["TypeVO"]), ("Marque", v["brand"]), ("RefExpo", v["expo"]),
        ("RefSite", site["RefSite"]), ("idNVO", v["idNVO"]), ("id_Track", v["site_key"].lower()),
        ("telephone", seller_phone), ("email", seller_mail), ("TypeCarrosserie", v["body"]),
        ("id-Client", site["client"]["CODECLIENT"]), ("Modele", v["model"]), ("Version", v["version"]),
        ("Energie", v["fuel"]), ("Puissance", v["fiscal"]), ("Immatriculation", v["plate"]), ("Chassis", v["vin"]),
        ("MEC", registration_date(v)), ("Kilometrage", v["mileage"]), ("Couleur", v["colour"]),
        ("TypeBoiteVitesse", v["gearbox"]), ("EqutInterieur", v["interior"]), ("EqutExterieur", v["exterior"]),
        ("EqutSecurite", v["safety"]), ("InfoComplement", ""), ("NombreDePortes", v["doors"]),
        ("Garantie", v["guarantee"]), ("nomvendeur", "STANDARD" if v["index"] % 4 == 0 else seller_name),
        ("CodePostal", site["client"]["CODE_POSTAL"]), ("Ville", site["client"]["VILLE"]), ("PrixDuBien", v["price"]),
    ]


def largus_extract(vehicles):
    w = XmlWriter()
    w.open("document")
    w.record_list("DataVOS", "DataVO", [largus_record(v) for v in vehicles])
    w.record_list("LiensImagesS", "LiensImages", photo_links(vehicles))
    w.record_list("LiensEquipementsS", "LiensEquipements", equipment_labels())
    w.record_list("InfosSRS", "InfosSR", site_contacts())
    w.close("document")
    return w.data()


def pvo_record(v):
    sold = v["index"] % 6 == 1           # delivered to a customer
    ordered = v["index"] % 6 == 2        # ordered, not delivered yet
    entry = "%02d/%02d/2025" % (1 + v["index"] % 28, 1 + v["index"] % 12)
    trade_in = v["price"] - 1500 - v["index"] * 50
    seller_name = v["seller"][0]
    customer = [("CliCivilite", str(1 + v["index"] % 5)), ("CliNom", "Lambert"), ("CliPrenom", "Claire"),
                ("CliAdresse1", "8 rue des Tanneurs"), ("CliAdresse2", ""), ("CliCP", "39000"),
                ("CliVille", "Lons-le-Saunier"), ("CliPays", "France"), ("CliMobile", "06 12 34 56 78"),
                ("CliEmail", "claire.lambert@example.org"), ("CliDateNaissance", "14/07/1982"),
                ("Acheteur", "Lambert Claire"), ("Destination", "Particuliers")] if sold or ordered else []
    return [
        ("idVO", v["idVO"]), ("id-Client", "Opticar"), ("StatutVD", "VD" if v["TypeVO"] == 2 else "VO"),
        ("RefVilleExpo", v["site"]["RefSite"]), ("TypeVO", v["TypeVO"]),
        ("DateLivraison", "12/01/2026" if sold else ""), ("DateOrdre", "05/01/2026" if sold or ordered else ""),
        ("FlagDepotVente", "True" if v["index"] == 3 else "False"), ("Origine", "VO" if v["TypeVO"] == 1 else "AC"),
        ("Immatriculation", v["plate"]), ("DateCarteGrise", registration_date(v)), ("MEC", registration_date(v)),
        ("IMarque", v["brand"]), ("IModele", v["model"]), ("IVersion", v["version"]), ("NChassis", v["vin"]),
        ("NbPlaces", v["seats"]), ("Energie", v["fuel"]), ("CV", v["fiscal"]), ("TypeCarrosserie", v["body"]),
        ("NbPortes", v["doors"]), ("Kilometrage", v["mileage"]), ("InfoCouleur", v["colour"]),
        ("TypeSellerie", "Tissu"), ("DateEntree", entry), ("KW", int(v["power"] * 0.7355)),
        ("TypeBoiteVitesse", v["gearbox"]), ("PrixReprise", trade_in), ("modeTVA", "2" if v["TypeVO"] == 1 else "1"),
        ("TPVO", v["price"]), ("PrixVente", v["price"] if sold or ordered else ""),
        ("Garantie", v["guarantee"]), ("TypeGarantie", (" " + v["guarantee_type"]) if v["guarantee"] else ""),
        ("PremiereMain", "True" if v["first_hand"] else "False"), ("LibSoc", v["site"]["LibelleSociete"]),
        ("Vendeur", "SELECT" if v["index"] % 4 == 0 else "V%02d" % (v["index"] % 7)), ("VendeurNom", seller_name),
        ("InfoEquiInterieur", v["interior"]), ("InfoEquiExterieur", v["exterior"]), ("InfoEquiSecurite", v["safety"]),
        ("Options3270", "WB1, pack hiver,PZ4" if v["index"] % 2 else ""), ("idNVO", v["idNVO"]), ("CO2", v["co2"]),
    ] + customer


def pvo_extract(vehicles):
    w = XmlWriter()
    w.open("document")
    w.record_list("DataVOS", "DataVO", [pvo_record(v) for v in vehicles])
    w.record_list("LiensImagesS", "LiensImages", photo_links(vehicles))
    w.record_list("LiensEquipementsS", "LiensEquipements", equipment_labels())
    w.close("document")
    return w.data()


def write_extracts(folder, vehicles):
    os.makedirs(folder, exist_ok=True)
    for name, data in (("ExpDatasAutoScout24.xml", scout_extract(vehicles, "qryExportAS24")),
                       ("ExpDatasVPN.xml", scout_extract(vehicles, "qryExportVPN")),
                       ("ExpDatasLEBONCOIN.xml", annonce_extract(vehicles)),
                       ("ExpDatasNeoWebCar.xml", neowebcar_extract(vehicles)),
                       ("ExpDatasLArgus.xml", largus_extract(vehicles)),
                       ("ExpDatasPVO.xml", pvo_extract(vehicles)),
                       ("ExpDatasPARUVENDU.xml", annonce_extract(vehicles, paruvendu_record)),
                       ("ExpDatasVIVACAR.xml", annonce_extract(vehicles, vivacar_record))):
        with open(os.path.join(folder, name), "wb") as f:
            f.write(data)
        print("%s: %d bytes" % (os.path.join(folder, name), len(data)))


def brand_name(code):
    return "Volkswagen" if code in ("VW", "VU") else code


def draw_photo(v, n, path, thumb):
    """A plain studio shot: sky, floor, a car in the vehicle's colour, its name."""
    flip = ["-flop"] if n % 2 == 0 else []
    title = "%s %s" % (brand_name(v["brand"]), v["model"])
    subtitle = "%s  -  %d km" % (v["version"], v["mileage"])
    car = [
        "-fill", v["rgb"], "-stroke", "#202020", "-strokewidth", "3",
        "-draw", "roundrectangle 110,260 530,350 30,30",
        "-draw", "polygon 200,262 250,195 420,195 475,262",
        "-fill", "#9fc3dd", "-draw", "polygon 222,258 262,208 340,208 340,258",
        "-draw", "polygon 350,258 350,208 410,208 452,258",
        "-fill", "#1c1c1c", "-draw", "circle 205,350 205,392", "-draw", "circle 440,350 440,392",
        "-fill", "#b8b8b8", "-draw", "circle 205,350 205,368", "-draw", "circle 440,350 440,368",
    ]
    text = [
        "-stroke", "none", "-font", "DejaVu-Sans-Bold", "-fill", "#102030", "-gravity", "North",
        "-pointsize", "36", "-annotate", "+0+28", title,
        "-font", "DejaVu-Sans", "-pointsize", "18", "-annotate", "+0+76", subtitle,
        "-gravity", "SouthEast", "-fill", "#404040", "-pointsize", "16",
        "-annotate", "+14+10", "%s  photo %d/%d" % (v["site_key"], n, v["photos"]),
    ]
    command = ([CONVERT, "-size", "640x300", "gradient:#dfeaf4-#b6c8d8", "-size", "640x180",
                "gradient:#8d8f91-#5e6062", "-append", "+repage"] + car + flip + text +
               ["-strip", "-quality", "82", "-write", path, "-resize", "160x120", "-quality", "75", thumb])
    subprocess.run(command, check=True)


def write_photos(store, server, vehicles):
    if not os.access(CONVERT, os.X_OK):
        sys.exit("ImageMagick is missing: %s (Debian package imagemagick)" % CONVERT)
    newest = sorted(vehicles, key=lambda v: v["idVO"])[-NEWEST_ARRIVALS:]
    count = 0
    for v in vehicles:
        for n, name in enumerate(v["photo_names"], start=1):
            path = os.path.join(store, name + ".jpg")
            thumb = os.path.join(store, name + "m.jpg")
            os.makedirs(os.path.dirname(path), exist_ok=True)
            draw_photo(v, n, path, thumb)
            count += 1
            if server and v not in newest:
                target = os.path.join(server, os.path.dirname(name))
                os.makedirs(target, exist_ok=True)
                shutil.copy2(path, target)
                shutil.copy2(thumb, target)
    print("%d photos and thumbnails in %s" % (count, store))
    if server:
        print("image server copy in %s, without the photos of vehicles %s"
              % (server, ", ".join(str(v["idVO"]) for v in newest)))


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--extracts", help="folder of the stock extracts (default: stock/ beside this script)")
    parser.add_argument("--photos", help="photo store to fill")
    parser.add_argument("--server", help="image server folder that receives the published photos")
    args = parser.parse_args()
    if args.server and not args.photos:
        parser.error("--server needs --photos")
    vehicles = build_fleet()
    if args.extracts or not args.photos:
        write_extracts(args.extracts or os.path.join(here, "stock"), vehicles)
    if args.photos:
        write_photos(args.photos, args.server, vehicles)


if __name__ == "__main__":
    main()
