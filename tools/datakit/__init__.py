# SPDX-FileCopyrightText: 2026 The Umbrivista authors
# SPDX-License-Identifier: GPL-3.0-or-later
"""Shared helpers of the data builders under tools/: npm inputs and the ETOPO5 relief grid."""
