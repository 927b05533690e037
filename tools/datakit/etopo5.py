# SPDX-FileCopyrightText: 2026 The Umbrivista authors
# SPDX-License-Identifier: GPL-3.0-or-later
"""The ETOPO5 relief grid of Debian's ferret-datasets (NOAA NGDC, 5 arc-minute cells).

Grid: 2161 rows from 90° N to 90° S, 4320 columns from 0° to 359.9167° E, heights in metres
(sea floor negative).
"""

from pathlib import Path

import numpy as np
from osgeo import gdal

ETOPO5_PATH = Path("/usr/share/ferret-vis/data/etopo5.cdf")


def load() -> np.ndarray:
    """Returns the grid as float32 [row, column], row 0 at 90° N, column 0 at 0° E."""
    gdal.UseExceptions()
    ds = gdal.Open(str(ETOPO5_PATH))
    grid = ds.GetRasterBand(1).ReadAsArray().astype(np.float32)
    gt = ds.GetGeoTransform()
    if gt[5] > 0:  # stored south to north
        grid = grid[::-1]
    return grid


def height_at(grid: np.ndarray, lat: np.ndarray, lon: np.ndarray) -> np.ndarray:
    """Nearest grid height in metres at latitude/longitude in degrees (east positive)."""
    rows, cols = grid.shape
    r = np.clip(np.rint((90.0 - lat) * 12.0).astype(int), 0, rows - 1)
    c = np.rint(np.mod(lon, 360.0) * 12.0).astype(int) % cols
    return grid[r, c]


def west_to_east(grid: np.ndarray) -> np.ndarray:
    """The grid rolled so that column 0 is 180° W, as the globe textures are laid out.

    The duplicate 90° S/N row count (2161) is kept; callers resample to their own size.
    """
    cols = grid.shape[1]
    return np.roll(grid, cols // 2, axis=1)
