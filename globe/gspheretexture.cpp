// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// The texture of the orthographic globe: the octahedron subdivided to the depth the zoom asks for,
// each small triangle that faces the viewer and meets the drawing surface filled from the texture.

#include <algorithm>
#include <climits>
#include <cmath>

#include "angles.h"
#include "gbitmap.h"
#include "gprojector.h"
#include "grenderer.h"

namespace umbrivista {

QPoint TexturePixel(const TGGlobePoint& g, int width, int height) {
  const int u = RoundToInt((g.Longitude + static_cast<double>(kGU180)) / kGU360 * (width - 1));
  const int v =
      (height - 1) - RoundToInt((g.Latitude + static_cast<double>(kGU90)) / kGU180 * (height - 1));
  return {u, v};
}

int TGSphericalPrj::TextureDepth(long double scaleFactor) {
  if (scaleFactor <= 2e-7L) return 4;
  if (scaleFactor <= 2e-6L) return 5;
  if (scaleFactor <= 2e-5L) return 6;
  return 7;
}

namespace {

// Vertices of a face are numbered on a grid of kGrid steps along two of its edges: the first
// corner is (0, 0), the second (kGrid, 0), the third (0, kGrid), and the midpoint of two vertices
// lies halfway between their numbers. kGrid is 2 to the greatest subdivision depth.
constexpr int kGrid = 128;
constexpr int kGridSide = kGrid + 1;
constexpr std::size_t kFaceTexels = std::size_t{kGridSide} * kGridSide;
constexpr QPoint kNoTexel(INT_MIN, INT_MIN);
// Texel tables kept for textures of different sizes (the surface texture and layer images).
constexpr std::size_t kTexelTables = 4;

// One vertex of the subdivided octahedron: its unit vector, its place on the face's grid, its
// pixel relative to the origin (unrounded and rounded onto the surface) and whether it faces the
// viewer.
struct TexVertex {
  double v[3];
  int i, j;
  double sx, sy;
  QPoint pixel;
  bool visible;
};

// Draws the texture over the subdivided octahedron. Subtrees whose spherical patch cannot reach
// the drawing surface are skipped as well as those that face away: a point of the patch is
// normalize(Q) for Q in the flat triangle, and its pixel lies within radius·(1 − |Q|) of that of Q,
// with |Q| at least the distance m of the triangle's plane from the centre.
//
// A vertex's unit vector depends only on its place on the grid (a midpoint is the normalised sum
// of the same two vectors whichever triangle asks for it), so its texture pixel is the same in
// every view: it is computed once and kept in the texel table of the face.
class TextureMapper {
 public:
  TextureMapper(const TGSphericalPrj& model, TGRenderer& renderer, const TGBitmap& texture,
                std::int32_t xOrigin, std::int32_t yOrigin, std::vector<QPoint>& texels)
      : model_(model),
        renderer_(renderer),
        texture_(texture),
        xo_(xOrigin),
        yo_(yOrigin),
        texels_(texels) {
    w_ = texture.Width();
    h_ = texture.Height();
    sw_ = renderer.SurfaceWidth();
    sh_ = renderer.SurfaceHeight();
    radius_ = model.DiscRadius();
  }

  TexVertex Make(double x, double y, double z, int i, int j) const {
    TexVertex t{{x, y, z}, i, j, 0, 0, {}, false};
    double sz;
    model_.RotateUnit(t.v, t.sx, t.sy, sz);
    t.visible = model_.FacesViewer(sz);
    t.pixel = QPoint(AddOrigin(RoundToInt(t.sx), xo_), AddOrigin(RoundToInt(t.sy), yo_));
    return t;
  }

  TexVertex Mid(const TexVertex& a, const TexVertex& b) const {
    double x = a.v[0] + b.v[0], y = a.v[1] + b.v[1], z = a.v[2] + b.v[2];
    const double len2 = x * x + y * y + z * z;
    if (len2 > 1e-10) {
      const double s = 1 / std::sqrt(len2);
      x *= s;
      y *= s;
      z *= s;
    }
    return Make(x, y, z, (a.i + b.i) / 2, (a.j + b.j) / 2);
  }

  // Texture pixel of a vertex of the face in hand: on a western face the longitude is the
  // negative of its absolute value, so that the 180° meridian lies at 971,999,999 in the east and
  // −971,999,999 in the west.
  QPoint Texel(const TexVertex& t) const {
    QPoint& kept = face_[static_cast<std::size_t>(t.i) * kGridSide + t.j];
    if (kept == kNoTexel) {
      std::int32_t lon = RoundToInt(std::atan2(t.v[0], t.v[2]) * kGlobeUnitsPerRadian - 1);
      if (western_ && lon > 0) lon = -lon;
      const std::int32_t lat =
          RoundToInt(std::asin(std::clamp(t.v[1], -1.0, 1.0)) * kGlobeUnitsPerRadian);
      kept = TexturePixel({lon, lat, 0}, w_, h_);
    }
    return kept;
  }

  bool OffSurface(const TexVertex& a, const TexVertex& b, const TexVertex& c) const {
    const double ux = b.v[0] - a.v[0], uy = b.v[1] - a.v[1], uz = b.v[2] - a.v[2];
    const double wx = c.v[0] - a.v[0], wy = c.v[1] - a.v[1], wz = c.v[2] - a.v[2];
    const double nx = uy * wz - uz * wy, ny = uz * wx - ux * wz, nz = ux * wy - uy * wx;
    const double n = std::sqrt(nx * nx + ny * ny + nz * nz);
    if (!(n > 1e-12)) return false;
    const double m = std::fabs(nx * a.v[0] + ny * a.v[1] + nz * a.v[2]) / n;
    const double margin = radius_ * (1 - m) + 2;
    const double minX = std::min({a.sx, b.sx, c.sx}) + xo_ - margin;
    const double maxX = std::max({a.sx, b.sx, c.sx}) + xo_ + margin;
    const double minY = std::min({a.sy, b.sy, c.sy}) + yo_ - margin;
    const double maxY = std::max({a.sy, b.sy, c.sy}) + yo_ + margin;
    return maxX < 0 || minX >= sw_ || maxY < 0 || minY >= sh_;
  }

  // Draws one face (number `face`) of the octahedron with corners v.
  void Face(int face, const double (&v)[3][3], bool western, int depth) {
    face_ = texels_.data() + kFaceTexels * face;
    western_ = western;
    const TexVertex a = Make(v[0][0], v[0][1], v[0][2], 0, 0);
    const TexVertex b = Make(v[1][0], v[1][1], v[1][2], kGrid, 0);
    const TexVertex c = Make(v[2][0], v[2][1], v[2][2], 0, kGrid);
    Process(a, b, c, depth);
  }

  void Process(const TexVertex& a, const TexVertex& b, const TexVertex& c, int depth) {
    if (depth > 0) {
      if (!a.visible && !b.visible && !c.visible) return;
      if (OffSurface(a, b, c)) return;
      const TexVertex ab = Mid(a, b), ac = Mid(a, c), bc = Mid(b, c);
      Process(a, ac, ab, depth - 1);
      Process(b, ab, bc, depth - 1);
      Process(c, bc, ac, depth - 1);
      Process(ab, ac, bc, depth - 1);
      return;
    }
    if (!(a.visible && b.visible && c.visible)) return;
    const QPoint scr[3] = {a.pixel, b.pixel, c.pixel};
    if (!renderer_.PointsVisible(scr, 3)) return;
    const QPoint tex[3] = {Texel(a), Texel(b), Texel(c)};
    renderer_.TextureTriangle(tex, scr, texture_);
  }

 private:
  const TGSphericalPrj& model_;
  TGRenderer& renderer_;
  const TGBitmap& texture_;
  std::int32_t xo_, yo_;
  int w_, h_, sw_, sh_;
  double radius_;
  std::vector<QPoint>& texels_;
  QPoint* face_ = nullptr;
  bool western_ = false;
};

struct OctahedronFace {
  double v[3][3];
  bool western;
};

constexpr OctahedronFace kFaces[8] = {
    {{{1, 0, 0}, {0, 0, 1}, {0, 1, 0}}, false},   {{{1, 0, 0}, {0, 1, 0}, {0, 0, -1}}, false},
    {{{0, -1, 0}, {0, 0, 1}, {1, 0, 0}}, false},  {{{0, -1, 0}, {1, 0, 0}, {0, 0, -1}}, false},
    {{{0, 1, 0}, {-1, 0, 0}, {0, 0, -1}}, true},  {{{0, 1, 0}, {0, 0, 1}, {-1, 0, 0}}, true},
    {{{-1, 0, 0}, {0, -1, 0}, {0, 0, -1}}, true}, {{{-1, 0, 0}, {0, 0, 1}, {0, -1, 0}}, true},
};

}  // namespace

std::vector<QPoint>& TGSphericalPrj::TexelTable(int width, int height) {
  auto kept = std::find_if(texelTables_.begin(), texelTables_.end(), [&](const TexelTableEntry& t) {
    return t.width == width && t.height == height;
  });
  if (kept == texelTables_.end()) {
    // A new size takes the place of the table used longest ago.
    if (texelTables_.size() == kTexelTables) texelTables_.pop_back();
    texelTables_.insert(texelTables_.begin(),
                        {width, height, std::vector<QPoint>(kFaceTexels * 8, kNoTexel)});
  } else if (kept != texelTables_.begin()) {
    std::rotate(texelTables_.begin(), kept, kept + 1);
  }
  return texelTables_.front().texels;
}

void TGSphericalPrj::PaintSurfaceTexture(const TGBitmap& texture) {
  if (texture.GetEmpty()) return;
  static_assert(kGrid >= 1 << 7, "the grid must be as fine as the deepest subdivision");
  TGRenderer& renderer = prj_.Renderer();
  // A step of one pixel on the disc spans at most 1/radius radians of the sphere, and a radian
  // spans at least width/2π texels east-west and height/π north-south: no triangle magnifies the
  // texture more than at the centre of the disc.
  const double radius = DiscRadius();
  const double least = radius > 0 ? std::min(texture.Width() / (2 * kPi), texture.Height() / kPi) /
                                         radius
                                   : 0.0;
  struct Bound {
    TGRenderer& r;
    ~Bound() { r.SetLeastTexelsPerPixel(0); }
  } bound{renderer};
  renderer.SetLeastTexelsPerPixel(least);
  TextureMapper mapper(*this, renderer, texture, prj_.XOrigin(), prj_.YOrigin(),
                       TexelTable(texture.Width(), texture.Height()));
  const int depth = TextureDepth(prj_.ScaleFactor());
  for (int face = 0; face < 8; ++face)
    mapper.Face(face, kFaces[face].v, kFaces[face].western, depth);
}

}  // namespace umbrivista
