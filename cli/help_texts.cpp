// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// What `umbrivista-cli COMMAND --help` prints.

#include <map>
#include <string>

#include "cli.h"

namespace umbrivista {

const char* CommandHelp(const std::string& command) {
  static const std::map<std::string, const char*> kHelp = {
      {"catalogue",
       "umbrivista-cli catalogue info | show POS | find --year Y | find --saros S | convert TEXT BIN\n"
       "  info     lines records, first, last (YYYY-MM-DD), saros_min, saros_max\n"
       "  show     the record at position POS as one line of the text form (44 numbers)\n"
       "  find     the position of the first eclipse in year Y or later, or of the first member\n"
       "           of Saros series S (exit status 1 when the catalogue holds none)\n"
       "  convert  writes the binary catalogue BIN from its text form TEXT\n"
       "options: --catalogue FILE, --data-dir DIR\n"},
      {"deltat",
       "umbrivista-cli deltat YEAR MONTH [--sigma]\n"
       "  ΔT = TT − UT in seconds for that month; with --sigma a second line \"sigma 265 s\", the\n"
       "  standard error of ΔT (Morrison and Stephenson 2004 before 1600, Stephenson and Houlden\n"
       "  1986 to 1900, extrapolated before −1000 and forecast after 2025)\n"},
      {"elements",
       "umbrivista-cli elements POS T [--ut] [--back] [--format tsv|json]\n"
       "  the Besselian elements of eclipse POS at T hours from T0 and, while the shadow axis\n"
       "  meets the Earth, the axis point. Fields (name<TAB>value, or one JSON object):\n"
       "  x, y, l1, l2 (Earth radii), d_deg, mu_deg, tanf1, tanf2, zeta (Earth radii),\n"
       "  axis_on_earth (1/0), lat_deg, lon_deg (east +), duration_s, path_width_km,\n"
       "  sun_alt_deg, sun_az_deg (from south, west +), local_time_h\n"
       "  --ut turns the Earth by ΔT (Universal Time); --back looks from the night side\n"},
      {"centreline",
       "umbrivista-cli centreline POS [--ut|--tt] [--back] [--format tsv|geojson|kml]\n"
       "  the centre line: its 201 points as lon_deg<TAB>lat_deg lines (TT, --ut for UT), or a\n"
       "  GeoJSON or KML line in UT (--tt for the TT frame) with points added so that no two\n"
       "  neighbours lie over 45 km apart, cut where it crosses the 180° meridian, its time scale\n"
       "  and ΔT in its properties; an empty but valid document (and a note on stderr) when there\n"
       "  is none\n"},
      {"limits",
       "umbrivista-cli limits POS [--ut|--tt|--deltat S] [--format tsv|geojson|kml]\n"
       "  the limits of the central path, of the partial eclipse and the rise/set curves:\n"
       "  kind<TAB>piece<TAB>lon_deg<TAB>lat_deg lines (TT, --ut for UT); GeoJSON and KML in UT\n"
       "  (--tt for the TT frame) hold the region that sees the central phase as a Polygon or\n"
       "  MultiPolygon (closed along the sunrise/sunset edge where a limit leaves the Earth, round\n"
       "  a pole it contains) and each curve as a line with properties kind, piece, time_scale\n"
       "  and delta_t_s; lines and polygons are cut at the 180° meridian (RFC 7946); --deltat S\n"
       "  turns the Earth by S seconds instead of the program's ΔT (UT with another ΔT)\n"},
      {"pathtable",
       "umbrivista-cli pathtable POS [--step MIN] [--ut|--tt] [--format tsv|csv|json]\n"
       "  the central path of eclipse POS as the eclipse bulletins tabulate it: at each instant on\n"
       "  a whole multiple of the step (default 5 minutes, 0.5 to 60) while the shadow axis meets\n"
       "  the Earth, the date and time, the time scale and ΔT (s), the northern limit, the centre\n"
       "  line and the southern limit (latitude, longitude in degrees, north and east +; a limit\n"
       "  that is not on the Earth near the ends of the path is left empty, null in JSON), the\n"
       "  Sun's geometric altitude and azimuth (from north through east) on the centre line, the\n"
       "  path width (km), the central duration there (s) and total|annular. Times are UT with\n"
       "  the program's ΔT (the default, --ut), or TT with --tt. A non-central eclipse gives a\n"
       "  table without rows and a note on stderr\n"},
      {"local",
       "umbrivista-cli local POS --lat DEG --lon DEG [--height M] [--deltat S] [--lang de|en|fr]\n"
       "                    [--time ut|tt|local|ZONE] [--deltat-range] [--format tsv|json|ics]\n"
       "  what a place (latitude north +, longitude east +) sees of eclipse POS:\n"
       "  found 1/0 (whether the shadow reaches the place, the Sun up or not); with\n"
       "  --deltat-range then deltat_sigma_s (σ of ΔT), deltat_range_s (ΔT − 2σ, ΔT + 2σ) and a\n"
       "  line central_for_deltat_s FROM TO for each part of that range over which the place sees\n"
       "  the central phase with the Sun up (\"none\" when there is none); kind p (partial),\n"
       "  t (total), a or r (annular, by language); visible none|full|sunrise|sunset|\n"
       "  sunrise+sunset (the Sun below the horizon for the whole eclipse, above it throughout,\n"
       "  or rising or setting during it); magnitude; obscuration (fraction of the Sun's disc\n"
       "  covered), both rounded so that they never contradict the kind; sunrise and sunset\n"
       "  (YYYY-MM-DD<TAB>hh:mm:ss.s UT) when the Sun crosses the horizon during the eclipse;\n"
       "  when greatest eclipse is below the horizon, the instant and amounts of the most seen\n"
       "  above it: visible_max, visible_magnitude, visible_obscuration; duration m:ss of a\n"
       "  central phase;\n"
       "  outside the central path: nearest_central_km, _bearing_deg, _compass, _lat, _lon (the\n"
       "  nearest point of the path's limits, bearing from north through east), _kind and\n"
       "  _duration_s (the centre line across from that point);\n"
       "  then a line per contact: C1|C2|MAX|C3|C4<TAB>YYYY-MM-DD<TAB>hh:mm:ss.s (UT)<TAB>\n"
       "  position angle P_deg<TAB>vertex angle V_deg<TAB>Sun altitude alt_deg (geometric)<TAB>\n"
       "  alt_refracted_deg (with standard refraction)<TAB>azimuth az_deg (from north through\n"
       "  east, as published tables count it)<TAB>up|down (the Sun above or below the horizon).\n"
       "  A computation that does not settle prints found 0 and reason not_settled, status 1.\n"
       "  --deltat S uses S seconds of ΔT instead of the program's own\n"
       "  --time sets the clock of the dates and times: ut (the default, output as above), tt,\n"
       "  local (the place's civil time: the IANA zone of the nearest world place within\n"
       "  100 km, nautical time UT±h beyond; before the zone's first standard time the place's\n"
       "  mean time, LMT) or an IANA ZONE such as Europe/Madrid (an unknown one is a usage\n"
       "  error). A line zone names the clock (TT, Europe/Madrid, UT−3 (nautical)); with local\n"
       "  or ZONE every time line ends in <TAB>abbreviation (CEST; empty where the zone has\n"
       "  none)<TAB>offset (UT+2, UT+5:30, UT−5), each instant with its own. JSON keeps date_ut\n"
       "  and time_ut and adds to each instant date, time and, for civil time, zone_offset_s\n"
       "  and zone_abbreviation\n"},
      {"render",
       "umbrivista-cli render POS T --out FILE.png|FILE.svg|FILE.pdf [--width W] [--height H]\n"
       "                     [--zoom Z] [--texture I] [--texture-file FILE] [--grid I] [--ut]\n"
       "                     [--back] [--ssp] [--capitals] [--poi LAT,LON] [--centre LAT,LON]\n"
       "                     [--no-overlay] [--no-limits] [--night] [--title] [--lang de|en|fr]\n"
       "                     [--map mercator|flat]\n"
       "  the main window's globe at that instant as a PNG picture: texture (I 0–3), grid (0–6),\n"
       "  layers and the overlay; zoom 60–350 as the window's zoom bar (default 140); --centre\n"
       "  moves the globe, still seen along the shadow axis, so that the point lies at the\n"
       "  picture's centre (an error when it is on the far side then). --night shades the\n"
       "  night side, with twilight down to 12° below the horizon. --map draws the whole Earth on\n"
       "  a Mercator (cut at ±85°) or plate carrée map centred on the eclipse, with the same\n"
       "  layers; the overlay then marks the axis point, the sub-solar point and the point of\n"
       "  interest where they lie (no night shading; zoom is ignored).\n"
       "  --title adds a title block under the globe (the picture grows taller by it): the kind\n"
       "  and date of the eclipse, the instant (TT, or UT with its ΔT) and a legend of the curves\n"
       "  and marks drawn, in the --lang language. A name ending in .svg or .pdf gives an SVG or\n"
       "  a one-page PDF instead: the globe embedded as a picture, the title block as text\n"
       "umbrivista-cli render POS --from H --to H --step S [--fps N]\n"
       "                     --out FILE.mp4|FILE.webm|FILE.gif [the picture options above]\n"
       "  an animation: the same pictures at H hours from T0 (--from, before --to, both within\n"
       "  ±10) and every S seconds of eclipse time after it, up to --to; at most 10000 frames,\n"
       "  N frames a second (1–60, default 25). The format follows the file's ending: MP4\n"
       "  (H.264), WebM (VP9) or an animated GIF (a palette of 256 colours for each frame,\n"
       "  looping); MP4 and WebM need an even width and height. The file appears only when\n"
       "  complete: a failure leaves any file of that name as it was\n"},
      {"sketch",
       "umbrivista-cli sketch POS --lat DEG --lon DEG [--height M] [--ut] [--lang de|en|fr]\n"
       "                     --out FILE.svg|FILE.png\n"
       "  what a place (latitude north +, longitude east +) sees of eclipse POS, drawn as the\n"
       "  Sun's and the Moon's discs at C1, C2, greatest eclipse, C3 and C4 (C2 and C3 only where\n"
       "  the eclipse is total or annular), side by side, the zenith up: N marks the Sun's north\n"
       "  point, a red dot the point of contact, the shaded ground lies below the horizon (drawn\n"
       "  with refraction) and a frame whose Sun is below the horizon is greyed. Under each frame\n"
       "  the contact, its time (TT, or UT with --ut) and the Sun's geometric altitude.\n"
       "  The picture's format follows the file's ending (1000 × 260 pixels). Exit status 1, and\n"
       "  no file, for a place the Moon's penumbra misses; an eclipse wholly below the horizon\n"
       "  is drawn all greyed\n"},
      {"citylist",
       "umbrivista-cli citylist POS --threshold-index I [--lang de|en|fr] [--places FILE]\n"
       "                        [--format text|csv|json] --out FILE|-\n"
       "  the city-list report of eclipse POS for every place with at least the population of\n"
       "  item I (0: 1,000,000 … 9: every place), as the window's \"Save as\" writes it: legend,\n"
       "  header, then TAB-separated rows (date, ΔT, kind, Saros, country, place, latitude,\n"
       "  longitude, height, population, and per contact time, P°, V°, H°; magnitude and duration\n"
       "  with the maximum), CR LF line ends; the date is that of the first contact shown, and a\n"
       "  contact after the next midnight UT is written from 24:00:00 on.\n"
       "  --format csv: one record per row (RFC 4180: comma, quotes around a field holding a\n"
       "  comma, quote or line break, CR LF) under the header date_ut, delta_t_s, kind, saros,\n"
       "  saros_member, saros_count, country, place, latitude_deg, longitude_deg, height_m,\n"
       "  population, then per contact c1 c2 max c3 c4 the _ut, _p_deg, _v_deg, _alt_deg columns\n"
       "  (magnitude, obscuration, duration_s after max), last the place's clock: time_zone,\n"
       "  utc_offset_s and c1_local … c4_local (local civil date and time, from the zone file and\n"
       "  the system's tzdata): instants ISO 8601 UT (2024-04-08T18:40:40Z) or local\n"
       "  (2024-04-08T13:40:40), decimal degrees east positive, \".\" as decimal point, empty\n"
       "  where a value is absent; a name starting with = + - @ gets a leading '. --format json:\n"
       "  an array of objects with the same names and numbers, null where absent\n"},
      {"placehistory",
       "umbrivista-cli placehistory --lat DEG --lon DEG [--height M] [--name N] [--country C]\n"
       "                           [--population P] [--from Y] [--to Y] [--lang de|en|fr]\n"
       "                           [--format text|csv|json] --out FILE|-\n"
       "  every eclipse seen at one place between the years, as the place-history window's\n"
       "  \"Save as\" writes it (same columns and times as citylist; --format as there)\n"},
      {"search",
       "umbrivista-cli search [--from Y] [--to Y] [--kind K,K…] [--min-duration S]\n"
       "                      [--min-magnitude M] [--max-gamma G] [--saros N]\n"
       "                      [--near LAT,LON --within KM] [--central-at LAT,LON]\n"
       "                      [--visible-from LAT,LON] [--country NAME [--places FILE]]\n"
       "                      [--lang de|en|fr] [--sort COLUMN [--desc]] [--format tsv|json]\n"
       "  the eclipses of the catalogue that meet every criterion given, in catalogue order (or\n"
       "  sorted by COLUMN), as TSV under a header line or as a JSON array. Years are those of the\n"
       "  UT date of greatest eclipse. --kind: total and annular include their non-central forms;\n"
       "  central and noncentral restrict the kinds given with them. Duration (s) is that of the\n"
       "  central phase at greatest eclipse; magnitude that at greatest eclipse; --max-gamma limits\n"
       "  |gamma|. At most one place criterion: --near: the central path passes within KM of the\n"
       "  point; --central-at: the point sees the total or annular phase with the Sun up;\n"
       "  --visible-from: the point sees some of the eclipse with the Sun up; --country: some place\n"
       "  of the country in the places file (of --lang, or --places) sees the total or annular\n"
       "  phase with the Sun up (the place is named). With a place criterion --min-magnitude\n"
       "  applies to the magnitude seen there. Columns: pos, date, kind, saros, duration,\n"
       "  magnitude, gamma, lat, lon (greatest eclipse), and with a place place (country only),\n"
       "  place_kind, place_magnitude, place_time (UT of the most seen), place_duration, distance\n"
       "  (--near only); --sort takes one of these names, --desc reverses it.\n"},
  };
  const auto it = kHelp.find(command);
  return it == kHelp.end() ? nullptr : it->second;
}

}  // namespace umbrivista
