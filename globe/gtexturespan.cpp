// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// Texture triangles: edge walking in TGRenderer, and the spans of TGDefaultRenderer written
// straight into the picture's pixel rows.

#include <algorithm>
#include <cmath>

#include "grenderer.h"

namespace umbrivista {

namespace {

// One edge of a texture triangle, stepped row by row.
struct TexEdge {
  double x, u, v, dx, du, dv;
  int rows;
  int end;

  void Step(int k) {
    x += dx * k;
    u += du * k;
    v += dv * k;
    rows -= k;
  }
};

// The edge from vertex `from` to `to`, with texture coordinates multiplied by `scale`.
TexEdge MakeEdge(const QPoint (&tex)[3], const QPoint (&scr)[3], int from, int to, double scale) {
  TexEdge e{static_cast<double>(scr[from].x()),
            tex[from].x() * scale,
            tex[from].y() * scale,
            0,
            0,
            0,
            scr[to].y() - scr[from].y(),
            to};
  if (e.rows > 0) {
    e.dx = (scr[to].x() - e.x) / e.rows;
    e.du = (tex[to].x() * scale - e.u) / e.rows;
    e.dv = (tex[to].y() * scale - e.v) / e.rows;
  }
  return e;
}

// Texture rows lie far apart in memory; the texels of a span a few rows ahead are requested
// early, so that their cache misses overlap with drawing the current rows.
constexpr int kPrefetchRows = 2;

void Prefetch(const std::uint32_t* texels, std::int64_t w, std::int64_t h, const TexEdge& a,
              const TexEdge& b, int rows) {
  if (a.rows <= rows || b.rows <= rows) return;
  const double ua = a.u + a.du * rows, va = a.v + a.dv * rows;
  const double ub = b.u + b.du * rows, vb = b.v + b.dv * rows;
  if (!texels ||
      !(ua >= 0 && va >= 0 && ub >= 0 && vb >= 0 && ua < w && ub < w && va < h && vb < h))
    return;
  // One request per cache line (16 texels) along the span.
  const double n = std::max(std::fabs(ub - ua) / 16, 1.0);
  const int steps = static_cast<int>(std::min(n, 64.0));
  for (int i = 0; i <= steps; ++i) {
    const double t = static_cast<double>(i) / steps;
    const auto u = static_cast<std::int64_t>(ua + (ub - ua) * t);
    const auto v = static_cast<std::int64_t>(va + (vb - va) * t);
    __builtin_prefetch(texels + u + w * v);
  }
}

}  // namespace

int TextureLevel(double texelsPerPixel) {
  if (texelsPerPixel >= 8) return 3;
  if (texelsPerPixel >= 4) return 2;
  if (texelsPerPixel >= 2) return 1;
  return 0;
}

double TexelsPerPixel(const QPoint (&tex)[3], const QPoint (&scr)[3]) {
  const double ex1 = scr[1].x() - scr[0].x(), ey1 = scr[1].y() - scr[0].y();
  const double ex2 = scr[2].x() - scr[0].x(), ey2 = scr[2].y() - scr[0].y();
  const double det = ex1 * ey2 - ey1 * ex2;
  if (det == 0) return 0;
  const double fu1 = tex[1].x() - tex[0].x(), fv1 = tex[1].y() - tex[0].y();
  const double fu2 = tex[2].x() - tex[0].x(), fv2 = tex[2].y() - tex[0].y();
  // Texture coordinates as an affine function of the screen position: J = F·E⁻¹.
  const double a = (fu1 * ey2 - fu2 * ey1) / det, b = (fu2 * ex1 - fu1 * ex2) / det;
  const double c = (fv1 * ey2 - fv2 * ey1) / det, d = (fv2 * ex1 - fv1 * ex2) / det;
  // The smaller singular value of J: the least texture step of a one-pixel screen step.
  const double s = a * a + b * b + c * c + d * d;
  const double jdet = std::fabs(a * d - b * c);
  const double largest = std::sqrt((s + std::sqrt(std::max(s * s - 4 * jdet * jdet, 0.0))) / 2);
  return largest > 0 ? jdet / largest : 0;
}

void TGRenderer::TextureTriangle(const QPoint (&tex)[3], const QPoint (&scr)[3],
                                 const TGBitmap& texture) {
  WalkTextureTriangle(tex, scr, texture, 1.0);
}

void TGRenderer::WalkTextureTriangle(const QPoint (&tex)[3], const QPoint (&scr)[3],
                                     const TGBitmap& texture, double texScale) {
  QPoint* pts = points_.get();
  for (int i = 0; i < 3; ++i) pts[i] = scr[i];
  if (!PointsVisible(scr, 3)) return;
  int top = 0;
  for (int i = 1; i < 3; ++i) {
    if (scr[i].y() < scr[top].y()) top = i;
  }
  const std::uint32_t* texels = texture.Bits();
  const std::int64_t tw = texture.Width(), th = texture.Height();
  TexEdge a = MakeEdge(tex, scr, top, (top + 1) % 3, texScale);
  TexEdge b = MakeEdge(tex, scr, top, (top + 2) % 3, texScale);
  std::int64_t y = scr[top].y();
  for (int replaced = 0;; ++replaced) {
    while (a.rows > 0 && b.rows > 0) {
      if (y < 0) {
        // Rows above the surface are stepped over in one go.
        const int k = static_cast<int>(std::min<std::int64_t>({a.rows, b.rows, -y}));
        a.Step(k);
        b.Step(k);
        y += k;
        continue;
      }
      if (y >= height_) return;
      Prefetch(texels, tw, th, a, b, kPrefetchRows);
      TextureSpan(static_cast<int>(y), TruncToInt(a.x), texture, a.u, a.v, b.u, b.v,
                  TruncToInt(b.x));
      a.Step(1);
      b.Step(1);
      ++y;
    }
    if (replaced == 1) break;
    if (a.rows <= 0) {
      a = MakeEdge(tex, scr, a.end, b.end, texScale);
    } else {
      b = MakeEdge(tex, scr, b.end, a.end, texScale);
    }
  }
}
TGDefaultRenderer::SpanContext TGDefaultRenderer::LookUp(const TGBitmap& texture) {
  SpanContext c;
  if (texture.GetEmpty() || picture_.GetEmpty()) return c;
  c.texture = &texture;
  c.texels = texture.Bits();
  c.width = texture.Width();
  c.height = texture.Height();
  c.picture = picture_.Bits();
  return c;
}

void TGDefaultRenderer::TextureTriangle(const QPoint (&tex)[3], const QPoint (&scr)[3],
                                        const TGBitmap& texture) {
  // Where a screen pixel spans two or more texels in every direction, a reduced copy of the
  // texture is read instead: the same picture, from a fraction of the memory. Copies of a
  // texture with a transparent colour would blend it into its neighbours, so such textures are
  // always read at full size.
  int level = 0;
  if (texture.TransparentColor == clNone) {
    const int least = TextureLevel(leastTexelsPerPixel_);
    level = std::max(TextureLevel(TexelsPerPixel(tex, scr)), least);
  }
  const TGBitmap& source = texture.Reduced(level);
  span_ = LookUp(source);
  if (!span_.texture) return;
  WalkTextureTriangle(tex, scr, source, 1.0 / (1 << level));
  span_ = SpanContext();
}

void TGDefaultRenderer::TextureSpan(int y, int x1, const TGBitmap& texture, double ua, double va,
                                    double ub, double vb, int x2) {
  if (x2 < x1) {
    std::swap(x1, x2);
    std::swap(ua, ub);
    std::swap(va, vb);
  }
  if (x2 - static_cast<std::int64_t>(x1) < 1 || x2 < 0 || x1 > width_) return;
  if (y < 0 || y >= height_) return;
  const SpanContext c = span_.texture == &texture ? span_ : LookUp(texture);
  if (!c.texture) return;
  const double n = static_cast<double>(x2) - x1;
  const double du = (ub - ua) / n, dv = (vb - va) / n;
  if (x1 < 0) {
    ua += -static_cast<double>(x1) * du;
    va += -static_cast<double>(x1) * dv;
    x1 = 0;
  }
  if (x2 > width_) x2 = width_;
  std::uint32_t* row = c.picture + static_cast<std::ptrdiff_t>(y) * width_;
  const std::uint32_t* texels = c.texels;
  const std::int64_t tw = c.width;
  const std::int64_t size = tw * c.height;
  const bool transparent = texture.TransparentColor != clNone;
  const std::uint32_t key = ColorToPixel(texture.TransparentColor) & 0xFFFFFF;
  const int alpha = texture.AlphaBlend;
  // Opaque spans that stay inside the texture are stepped in 32.32 fixed point.
  const double uLast = ua + du * (x2 - 1 - x1), vLast = va + dv * (x2 - 1 - x1);
  if (!transparent && alpha == 255 && ua >= 0 && va >= 0 && uLast >= 0 && vLast >= 0 && ua < tw &&
      uLast < tw && va < c.height && vLast < c.height) {
    constexpr double kOne = 4294967296.0;
    std::int64_t fu = static_cast<std::int64_t>(ua * kOne),
                 fv = static_cast<std::int64_t>(va * kOne);
    const std::int64_t fdu = static_cast<std::int64_t>(du * kOne);
    const std::int64_t fdv = static_cast<std::int64_t>(dv * kOne);
    for (int x = x1; x < x2; ++x, fu += fdu, fv += fdv) {
      const std::int64_t index = (fu >> 32) + tw * (fv >> 32);
      if (static_cast<std::uint64_t>(index) < static_cast<std::uint64_t>(size))
        row[x] = texels[index];
    }
    return;
  }
  for (int x = x1; x < x2; ++x, ua += du, va += dv) {
    // Coordinates before the texture's first row or column read it; NaN reads texel 0.
    const std::int64_t u = std::max(SaturateToInt32(ua), 0);
    const std::int64_t v = std::max(SaturateToInt32(va), 0);
    const std::int64_t index = u + tw * v;
    if (index >= size) continue;
    const std::uint32_t texel = texels[index];
    if (transparent && (texel & 0xFFFFFF) == key) continue;
    row[x] = alpha == 255 ? texel : BlendPixel(row[x], texel, alpha);
  }
}

}  // namespace umbrivista
