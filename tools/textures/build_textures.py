#!/usr/bin/python3
# SPDX-FileCopyrightText: 2026 The Umbrivista authors
# SPDX-License-Identifier: GPL-3.0-or-later
"""Builds the four globe textures in data/.

Every texture is an equirectangular world image: longitude −180° at the left edge to +180° at the
right edge, latitude +90° at the top to −90° at the bottom, each pixel covering an equal step of
longitude and latitude.

  BlueMarble_5.4x2.7k.jpg  5400 × 2700  NASA Blue Marble Next Generation: the map of Debian
                                        kstars-data (covers ±83.33°) with the polar strips from
                                        npm three-globe, blended across the joins.
  DEMIS_World_3.jpg        5400 × 2700  shaded relief: Natural Earth II colours (tiles in npm
                                        @cesium/engine) multiplied by a hillshade of ETOPO5.
  World_4096.jpg           4096 × 2048  political map of the Natural Earth countries of npm
                                        world-atlas in five colours, neighbours differing.
  World_white.jpg          4096 × 2048  white land, pale sea, thin dark coastlines and borders.

Run with Debian's /usr/bin/python3 (python3-gdal, python3-numpy, python3-pil):
  /usr/bin/python3 tools/textures/build_textures.py [--out data] [--only NAME ...]
"""

import argparse
import json
import sys
from pathlib import Path

import numpy as np
from osgeo import gdal, ogr, osr
from PIL import Image, ImageDraw

sys.path.insert(0, str(Path(__file__).resolve().parent.parent))
from datakit import etopo5, npm_inputs  # noqa: E402

Image.MAX_IMAGE_PIXELS = None
gdal.UseExceptions()

JPEG_QUALITY = 88
KSTARS_MAP = Path("/usr/share/kstars/geomap.jpg")


def save_jpeg(image: Image.Image, path: Path) -> None:
    image.save(path, "JPEG", quality=JPEG_QUALITY, optimize=True, subsampling="4:4:4")
    print(f"{path}: {image.size[0]} × {image.size[1]}, {path.stat().st_size} bytes",
          file=sys.stderr)


def as_float(image: Image.Image) -> np.ndarray:
    return np.asarray(image.convert("RGB"), dtype=np.float32)


def as_image(pixels: np.ndarray) -> Image.Image:
    return Image.fromarray(np.clip(np.rint(pixels), 0, 255).astype(np.uint8), "RGB")


def resize_wrapped(image: Image.Image, size: tuple, resample) -> Image.Image:
    """Resizes a world image so that the resampling filter sees across ±180°: the image is padded
    with columns from its other edge first, then the padding is cut off again."""
    from math import gcd
    w_in, h_in = image.size
    w_out, h_out = size
    pad = w_in // gcd(w_in, w_out)
    padded = Image.new(image.mode, (w_in + 2 * pad, h_in))
    padded.paste(image.crop((w_in - pad, 0, w_in, h_in)), (0, 0))
    padded.paste(image, (pad, 0))
    padded.paste(image.crop((0, 0, pad, h_in)), (pad + w_in, 0))
    pad_out = pad * w_out // w_in
    big = padded.resize((w_out + 2 * pad_out, h_out), resample)
    return big.crop((pad_out, 0, pad_out + w_out, h_out))


# --- Blue Marble -------------------------------------------------------------------------------

def smooth_poles(pixels: np.ndarray, rows: int) -> np.ndarray:
    """Within `rows` of each pole, every row is faded towards its median colour, fully at the
    pole itself: all pixels of the top and bottom rows meet in one point on the globe, so they
    must agree there, or the pole shows a pinwheel of streaks."""
    smoothed = pixels.copy()
    for k in range(rows):
        w = 1.0 - (k + 0.5) / rows
        for r in (k, pixels.shape[0] - 1 - k):
            target = np.median(pixels[r], axis=0)
            smoothed[r] = (1 - w) * pixels[r] + w * target
    return smoothed


def mend_right_edge(pixels: np.ndarray, rows: int, columns: int) -> np.ndarray:
    """The three-globe image has a bright streak in its last columns near both poles, which
    would show as a line at ±180°. Within `rows` of the top and bottom edges, the last `columns`
    columns are replaced by a linear blend from the column before them to column 0, so the image
    wraps smoothly."""
    mended = pixels.copy()
    left = pixels[:, -columns - 1]
    right = pixels[:, 0]
    w = ((np.arange(columns) + 1) / (columns + 1))[None, :, None]
    ramp = (1 - w) * left[:, None, :] + w * right[:, None, :]
    for band in (slice(0, rows), slice(pixels.shape[0] - rows, pixels.shape[0])):
        mended[band, -columns:] = ramp[band]
    return mended


def build_blue_marble(out: Path, prefix: Path) -> None:
    """5400 × 2700 at 15 pixels per degree.

    The kstars map holds 2500 rows from +83.33° to −83.33° (rows 100 … 2599 of the result). The
    three-globe image, 4096 × 2048 of the same imagery over the whole globe, is scaled to
    5400 × 2700 and gives rows 0 … 99 and 2600 … 2699; over BLEND rows inside the kstars part the
    two are cross-faded, so no edge shows at ±83.33°.
    """
    width, height, strip, blend = 5400, 2700, 100, 40
    middle = as_float(Image.open(KSTARS_MAP))
    if middle.shape[:2] != (height - 2 * strip, width):
        sys.exit(f"{KSTARS_MAP}: unexpected size {middle.shape[1]} × {middle.shape[0]}")
    polar_src = npm_inputs.package_dir("three-globe", prefix) / "example/img/earth-blue-marble.jpg"
    polar = mend_right_edge(as_float(Image.open(polar_src)), rows=100, columns=16)
    polar = as_float(resize_wrapped(as_image(polar), (width, height), Image.LANCZOS))

    result = polar.copy()
    result[strip:height - strip] = middle
    w = ((np.arange(blend) + 0.5) / blend)[:, None, None]  # 0 → polar, 1 → kstars
    top = slice(strip, strip + blend)
    bottom = slice(height - strip - blend, height - strip)
    result[top] = (1 - w) * polar[top] + w * middle[:blend]
    result[bottom] = w[::-1] * middle[-blend:] + (1 - w[::-1]) * polar[bottom]
    save_jpeg(as_image(smooth_poles(result, rows=15)), out / "BlueMarble_5.4x2.7k.jpg")


# --- Shaded relief -----------------------------------------------------------------------------

def natural_earth_ii(prefix: Path) -> Image.Image:
    """The level-2 Natural Earth II tiles of Cesium (8 × 4 tiles of 256 px, TMS rows from the
    south) joined into one 2048 × 1024 equirectangular image."""
    base = (npm_inputs.package_dir("@cesium/engine", prefix) /
            "Source/Assets/Textures/NaturalEarthII/2")
    mosaic = Image.new("RGB", (2048, 1024))
    for x in range(8):
        for y in range(4):
            tile = Image.open(base / str(x) / f"{y}.jpg").convert("RGB")
            mosaic.paste(tile, (x * 256, (3 - y) * 256))
    return mosaic


def sample_grid(grid: np.ndarray, lat: np.ndarray, lon: np.ndarray) -> np.ndarray:
    """Bilinear sample of a grid whose column 0 is 180° W and whose rows run 90° N … 90° S at
    12 cells per degree (ETOPO5 layout, wrapping in longitude)."""
    rows, cols = grid.shape
    r = np.clip((90.0 - lat) * 12.0, 0, rows - 1)
    c = (lon + 180.0) * 12.0
    r0 = np.floor(r).astype(int)
    c0 = np.floor(c).astype(int)
    fr = (r - r0)[:, None]
    fc = (c - c0)[None, :]
    r1 = np.minimum(r0 + 1, rows - 1)
    c0w, c1w = c0 % cols, (c0 + 1) % cols
    top = grid[r0][:, c0w] * (1 - fc) + grid[r0][:, c1w] * fc
    low = grid[r1][:, c0w] * (1 - fc) + grid[r1][:, c1w] * fc
    return top * (1 - fr) + low * fr


def hillshade(relief: np.ndarray, z_factor: float) -> np.ndarray:
    """GDAL hillshade (light from the north-west, 45° high) of a relief grid in metres laid out
    as ETOPO5 from 180° W, with the grid wrapped in longitude so that ±180° joins seamlessly."""
    pad = 4
    padded = np.concatenate([relief[:, -pad:], relief, relief[:, :pad]], axis=1)
    rows, cols = padded.shape
    src = gdal.GetDriverByName("MEM").Create("", cols, rows, 1, gdal.GDT_Float32)
    src.SetGeoTransform((-180.0 - (pad + 0.5) / 12.0, 1 / 12.0, 0, 90.0 + 0.5 / 12.0, 0, -1 / 12.0))
    src.GetRasterBand(1).WriteArray(padded)
    shaded = gdal.DEMProcessing("", src, "hillshade", format="MEM", scale=111120.0,
                                zFactor=z_factor, computeEdges=True)
    return shaded.GetRasterBand(1).ReadAsArray().astype(np.float32)[:, pad:-pad]


def build_demis(out: Path, prefix: Path) -> None:
    width, height = 5400, 2700
    colours = as_float(resize_wrapped(natural_earth_ii(prefix), (width, height), Image.BICUBIC))

    relief = etopo5.west_to_east(etopo5.load())
    shade = hillshade(relief, z_factor=8.0)
    flat = 255.0 * np.sin(np.radians(45.0))
    lat = 90.0 - (np.arange(height) + 0.5) / 15.0
    lon = -180.0 + (np.arange(width) + 0.5) / 15.0
    factor = sample_grid(shade / flat, lat, lon)
    land = sample_grid((relief > 0).astype(np.float32), lat, lon)
    # Full relief on land; the sea floor, already shaded in Natural Earth II, gets a lighter touch.
    # South of 60° S the ETOPO5 grid is coarse and has a 2 km step near 81° S, so the relief is
    # faded out there and Antarctica keeps the shading of Natural Earth II.
    strength = 0.35 + 0.55 * land
    strength = strength * np.clip((lat[:, None] + 70.0) / 10.0, 0.0, 1.0)
    factor = np.clip(1.0 + strength * (factor - 1.0), 0.45, 1.35)
    save_jpeg(as_image(colours * factor[:, :, None]), out / "DEMIS_World_3.jpg")


# --- Political and white maps ------------------------------------------------------------------

class Countries:
    """The countries of a world-atlas TopoJSON file: rings per country, arcs, neighbours."""

    def __init__(self, path: Path):
        topo = json.loads(path.read_text())
        (sx, sy), (tx, ty) = topo["transform"]["scale"], topo["transform"]["translate"]
        self.arcs = []
        for arc in topo["arcs"]:
            q = np.cumsum(np.array(arc, dtype=np.int64), axis=0)
            self.arcs.append(np.column_stack([q[:, 0] * sx + tx, q[:, 1] * sy + ty]))
        self.names = []
        self.polygons = []  # per country: list of polygons, each a list of arc-index rings
        arc_users = [set() for _ in self.arcs]
        for geometry in topo["objects"]["countries"]["geometries"]:
            if geometry["type"] == "Polygon":
                polygons = [geometry["arcs"]]
            elif geometry["type"] == "MultiPolygon":
                polygons = geometry["arcs"]
            else:
                continue
            index = len(self.names)
            self.names.append(geometry.get("properties", {}).get("name", "?"))
            self.polygons.append(polygons)
            for polygon in polygons:
                for ring in polygon:
                    for a in ring:
                        arc_users[a if a >= 0 else ~a].add(index)
        self.arc_users = arc_users
        self.neighbours = [set() for _ in self.names]
        for users in arc_users:
            for u in users:
                self.neighbours[u] |= users - {u}

    def ring(self, arc_indices: list) -> np.ndarray:
        parts = []
        for a in arc_indices:
            pts = self.arcs[a] if a >= 0 else self.arcs[~a][::-1]
            parts.append(pts if not parts else pts[1:])
        return np.vstack(parts)


def unwrap(points: np.ndarray) -> np.ndarray:
    """Longitudes made continuous: a step of more than 180° between neighbours is a crossing of
    the ±180° meridian, not a jump around the world."""
    lon = points[:, 0].copy()
    steps = np.diff(lon)
    lon[1:] -= 360.0 * np.cumsum(np.round(steps / 360.0))
    return np.column_stack([lon, points[:, 1]])


def planar_ring(points: np.ndarray) -> np.ndarray:
    """An unwrapped ring, closed over the pole when it runs once around the globe (Antarctica):
    such a ring ends 360° east or west of where it began."""
    ring = unwrap(points)
    span = ring[-1, 0] - ring[0, 0]
    if abs(abs(span) - 360.0) < 1.0:
        pole = -90.0 if ring[:, 1].mean() < 0 else 90.0
        closure = np.array([[ring[-1, 0], pole], [ring[0, 0], pole], ring[0]])
        ring = np.vstack([ring, closure])
    return ring


def five_colouring(neighbours: list) -> list:
    """Colours 0 … 4 with neighbours differing: DSATUR order with backtracking; among the
    allowed colours the least used one is taken, which keeps the map balanced."""
    n = len(neighbours)
    colour = [-1] * n
    used = [0] * 5
    order = sorted(range(n), key=lambda i: -len(neighbours[i]))

    def pick() -> int:
        best, best_key = -1, None
        for i in order:
            if colour[i] < 0:
                sat = len({colour[j] for j in neighbours[i] if colour[j] >= 0})
                key = (sat, len(neighbours[i]))
                if best_key is None or key > best_key:
                    best, best_key = i, key
        return best

    def solve() -> bool:
        i = pick()
        if i < 0:
            return True
        taken = {colour[j] for j in neighbours[i]}
        for c in sorted(range(5), key=lambda c: used[c]):
            if c not in taken:
                colour[i] = c
                used[c] += 1
                if solve():
                    return True
                colour[i] = -1
                used[c] -= 1
        return False

    sys.setrecursionlimit(10000)
    if not solve():
        sys.exit("no five-colouring found")
    return colour


def rasterize_countries(countries: Countries, width: int, height: int) -> np.ndarray:
    """Label raster: 0 for sea, 1 + country index on land."""
    driver = ogr.GetDriverByName("Memory")
    source = driver.CreateDataSource("countries")
    wgs84 = osr.SpatialReference()
    wgs84.ImportFromEPSG(4326)
    wgs84.SetAxisMappingStrategy(osr.OAMS_TRADITIONAL_GIS_ORDER)
    layer = source.CreateLayer("countries", srs=wgs84, geom_type=ogr.wkbMultiPolygon)
    layer.CreateField(ogr.FieldDefn("label", ogr.OFTInteger))
    for index, polygons in enumerate(countries.polygons):
        multi = ogr.Geometry(ogr.wkbMultiPolygon)
        for polygon in polygons:
            rings = [planar_ring(countries.ring(r)) for r in polygon]
            centre = rings[0][:, 0].mean()
            for offset in (-360.0, 0.0, 360.0):
                poly = ogr.Geometry(ogr.wkbPolygon)
                for k, ring in enumerate(rings):
                    shift = offset
                    if k > 0:  # holes sit beside their outer ring
                        shift += 360.0 * np.round((centre - ring[:, 0].mean()) / 360.0)
                    r = ogr.Geometry(ogr.wkbLinearRing)
                    for lon, lat in ring:
                        r.AddPoint_2D(float(lon + shift), float(lat))
                    r.CloseRings()
                    poly.AddGeometry(r)
                multi.AddGeometry(poly)
        feature = ogr.Feature(layer.GetLayerDefn())
        feature.SetField("label", index + 1)
        feature.SetGeometry(multi)
        layer.CreateFeature(feature)
    raster = gdal.GetDriverByName("MEM").Create("", width, height, 1, gdal.GDT_UInt16)
    raster.SetGeoTransform((-180.0, 360.0 / width, 0, 90.0, 0, -180.0 / height))
    raster.SetProjection(wgs84.ExportToWkt())
    gdal.RasterizeLayer(raster, [1], layer, options=["ATTRIBUTE=label"])
    return raster.GetRasterBand(1).ReadAsArray()


def line_pieces(points: np.ndarray) -> list:
    """An arc as unwrapped polylines, leaving out pieces that run along the ±180° meridian (the
    cut of the source data, not a coast or a border)."""
    pts = unwrap(points)
    on_cut = np.isclose(np.abs(points[:, 0]), 180.0, atol=1e-6)
    pieces, current = [], [pts[0]]
    for k in range(1, len(pts)):
        if on_cut[k] and on_cut[k - 1]:
            if len(current) > 1:
                pieces.append(np.array(current))
            current = [pts[k]]
        else:
            current.append(pts[k])
    if len(current) > 1:
        pieces.append(np.array(current))
    return pieces


def draw_lines(image: Image.Image, countries: Countries, arc_colour, line_width: int) -> None:
    """Draws every arc (coastline or border) in the colour arc_colour(users) gives; None skips."""
    width, height = image.size
    draw = ImageDraw.Draw(image)
    for arc, users in zip(countries.arcs, countries.arc_users):
        colour = arc_colour(users)
        if colour is None:
            continue
        for piece in line_pieces(arc):
            for offset in (-360.0, 0.0, 360.0):
                x = (piece[:, 0] + offset + 180.0) / 360.0 * width
                if x.max() < -line_width or x.min() > width + line_width:
                    continue
                y = (90.0 - piece[:, 1]) / 180.0 * height
                draw.line(list(zip(x.tolist(), y.tolist())), fill=colour, width=line_width,
                          joint="curve")


POLITICAL_COLOURS = np.array([
    (0, 0, 0),        # unused: sea is coloured separately
    (247, 222, 140),  # sand
    (190, 222, 158),  # green
    (244, 184, 150),  # salmon
    (200, 186, 228),  # lavender
    (240, 204, 222),  # pink
], dtype=np.uint8)
POLITICAL_SEA = (166, 204, 234)
POLITICAL_COAST = (60, 95, 140)
POLITICAL_BORDER = (90, 70, 70)

WHITE_LAND = (255, 255, 255)
WHITE_SEA = (222, 236, 248)
WHITE_LINE = (60, 60, 60)


def build_maps(out: Path, prefix: Path, which: set) -> None:
    atlas = npm_inputs.package_dir("world-atlas", prefix) / "countries-10m.json"
    countries = Countries(atlas)
    width, height, oversample = 4096, 2048, 2
    big = (width * oversample, height * oversample)
    labels = rasterize_countries(countries, *big)
    land = labels > 0

    def coast_or_border(coast, border):
        return lambda users: coast if len(users) <= 1 else border

    if "World_4096.jpg" in which:
        colour = five_colouring([sorted(n) for n in countries.neighbours])
        for i, nb in enumerate(countries.neighbours):
            assert all(colour[i] != colour[j] for j in nb)
        lookup = np.vstack([POLITICAL_COLOURS[:1],
                            POLITICAL_COLOURS[1:][np.array(colour)]])
        pixels = lookup[labels]
        pixels[~land] = POLITICAL_SEA
        image = Image.fromarray(pixels, "RGB")
        draw_lines(image, countries, coast_or_border(POLITICAL_COAST, POLITICAL_BORDER),
                   line_width=2)
        print(f"political map: {len(countries.names)} countries in "
              f"{len(set(colour))} colours", file=sys.stderr)
        save_jpeg(image.resize((width, height), Image.LANCZOS), out / "World_4096.jpg")

    if "World_white.jpg" in which:
        pixels = np.empty(labels.shape + (3,), dtype=np.uint8)
        pixels[land] = WHITE_LAND
        pixels[~land] = WHITE_SEA
        image = Image.fromarray(pixels, "RGB")
        draw_lines(image, countries, lambda users: WHITE_LINE, line_width=2)
        save_jpeg(image.resize((width, height), Image.LANCZOS), out / "World_white.jpg")


ALL = ["BlueMarble_5.4x2.7k.jpg", "DEMIS_World_3.jpg", "World_4096.jpg", "World_white.jpg"]


def main() -> None:
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--out", type=Path, default=Path(__file__).resolve().parents[2] / "data")
    parser.add_argument("--npm-prefix", type=Path, default=npm_inputs.DEFAULT_PREFIX)
    parser.add_argument("--only", nargs="+", choices=ALL, default=ALL)
    args = parser.parse_args()
    which = set(args.only)
    if "BlueMarble_5.4x2.7k.jpg" in which:
        build_blue_marble(args.out, args.npm_prefix)
    if "DEMIS_World_3.jpg" in which:
        build_demis(args.out, args.npm_prefix)
    if which & {"World_4096.jpg", "World_white.jpg"}:
        build_maps(args.out, args.npm_prefix, which)


if __name__ == "__main__":
    main()
