# SPDX-FileCopyrightText: 2026 The Umbrivista authors
# SPDX-License-Identifier: GPL-3.0-or-later
# The Debian package: `cpack` in the build folder writes umbrivista_VERSION_ARCH.deb with the
# programs, their data under /usr/share/umbrivista, the desktop entry, the icons, the software
# centres' entry, the manual pages and the bash completion. Only the programs are packaged: the
# tests, the benchmarks, the example and the data tools install nothing.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME umbrivista)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_CONTACT "The Umbrivista authors <${UMBRIVISTA_CONTACT_MAIL}>")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${UMBRIVISTA_HOMEPAGE})
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Beside the libraries: Qt's platform plugins to show a window, the time zones and the fonts the
# information panel is laid out for, and GEOS's C library, which is loaded when a central region
# is first built, so that shlibdeps cannot see it.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, tzdata, fonts-liberation, libgeos-c1v5")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "study solar eclipses on a globe along the Moon's shadow
Umbrivista shows every solar eclipse from 4999 BCE to 7000 CE, from a
catalogue of Besselian elements computed from the JPL DE431 ephemeris, on a
textured globe that always looks along the Moon's shadow axis: the centre
line, the limits of the path and of the partial eclipse, the penumbral and
umbral circles and the axis track, animated over seven hours, with what any
place sees of it.

Reports list every town that sees an eclipse, every eclipse seen at one
place, and the eclipses that meet a search; pictures, animations and map
files of the path can be saved. The windows speak German, English and
French. umbrivista-cli answers the same questions from the command line.")
include(CPack)
