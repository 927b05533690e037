// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// umbrivista-civil-time.so: civil_time.h for umbrivista-cli, which loads it when a command asks
// for a civil clock (civil_clock.h). The core functions it calls are those of the program that
// loads it.

#include "civil_clock.h"
#include "civil_time.h"

extern "C" __attribute__((visibility("default"))) const umbrivista::CivilTimeFunctions*
umbrivista_civil_time_functions() {
  static const umbrivista::CivilTimeFunctions functions{&umbrivista::ZoneOffset,
                                                        &umbrivista::IsKnownZone};
  return &functions;
}
