#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Umbrivista authors
# SPDX-License-Identifier: GPL-3.0-or-later
# Writes the manual page of umbrivista-cli from the program's own help texts, so that the page
# names every command, option and output field the program knows.
#   manpage.sh CLI VERSION OUT
set -euo pipefail
cli=$1
version=$2
out=$3

# Text as roff: backslashes escaped, lines that start with a dot or quote kept as text.
roff() { sed -e 's/\\/\\e/g' -e "s/^\([.']\)/\\\\\&\1/"; }

commands=$("$cli" --help | sed -n 's/^  \([a-z][a-z]*\) .*/\1/p' | uniq)

tmp=$(mktemp "$out.XXXXXX")
trap 'rm -f "$tmp"' EXIT
{
  echo ".TH UMBRIVISTA-CLI 1 \"\" \"Umbrivista $version\" \"User Commands\""
  echo ".SH NAME"
  echo "umbrivista-cli \\- solar eclipses from the command line: catalogue, circumstances, maps and reports"
  echo ".SH SYNOPSIS"
  echo ".nf"
  "$cli" --help | sed -n '2,/^every command/p' | sed '$d' |
    sed -E 's/^  ([a-z])/umbrivista-cli \1/; t; s/^ +/                /' | roff
  echo ".fi"
  echo ".SH DESCRIPTION"
  echo "umbrivista-cli is the headless front end of Umbrivista. It answers from the same catalogue"
  echo "of Besselian elements (every solar eclipse from \\-4999 to 7000) and the same code as the"
  echo "program's windows. POS is an eclipse's position in the catalogue (1 is the first;"
  echo ".B catalogue find"
  echo "gives it), T a time in hours from the eclipse's T0. Numbers are written with \".\" whatever"
  echo "the locale. Every command answers"
  echo ".BR \\-\\-help ;"
  echo ".B \\-\\-version"
  echo "prints the version."
  echo ".SH COMMANDS"
  for c in $commands; do
    echo ".SS $c"
    echo ".nf"
    "$cli" "$c" --help | roff
    echo ".fi"
  done
  echo ".SH OPTIONS"
  echo "These options are taken by every command:"
  echo ".TP"
  echo ".BI \\-\\-catalogue \" FILE\""
  echo "use this catalogue instead of the one the data lookup finds."
  echo ".TP"
  echo ".BI \\-\\-data\\-dir \" DIR\""
  echo "look for the data files in DIR first."
  echo ".SH ENVIRONMENT"
  echo ".TP"
  echo ".B UMBRIVISTA_DATA"
  echo "a folder searched for the data files before the installed ones."
  echo ".SH FILES"
  echo ".TP"
  echo ".I /usr/share/umbrivista/"
  echo "the catalogue, the places files, the textures and the help pages."
  echo ".SH \"EXIT STATUS\""
  echo "0 on success; 1 when a command finds nothing or cannot compute; 2 for a usage error."
  echo ".SH \"SEE ALSO\""
  echo ".BR umbrivista (1)"
} > "$tmp"
chmod 644 "$tmp"
mv "$tmp" "$out"
trap - EXIT
