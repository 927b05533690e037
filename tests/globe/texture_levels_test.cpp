// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// Reduced texture copies: the box filter, when the renderer reads them, and the texture seam at
// the 180° meridian.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "gcustomglobe.h"
#include "gprojector.h"
#include "scratch_dir.h"
#include "test_support.h"

using namespace umbrivista;

namespace {

std::uint32_t Rgb(std::uint32_t p) {
  return p & 0xFFFFFF;
}

// A texture of alternating black and white columns.
TGBitmap Stripes(int width, int height) {
  TGBitmap t(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) t.SetPixel(x, y, x % 2 ? 0xFFFFFF : 0x000000);
  return t;
}

TEST(TextureLevels, ChosenWhereAPixelSpansTwoFourAndEightTexels) {
  EXPECT_EQ(TextureLevel(0), 0);
  EXPECT_EQ(TextureLevel(1.999), 0);
  EXPECT_EQ(TextureLevel(2), 1);
  EXPECT_EQ(TextureLevel(3.999), 1);
  EXPECT_EQ(TextureLevel(4), 2);
  EXPECT_EQ(TextureLevel(7.999), 2);
  EXPECT_EQ(TextureLevel(8), 3);
  EXPECT_EQ(TextureLevel(1000), 3);
  EXPECT_EQ(TextureLevel(std::nan("")), 0);
  // The least stretch counts: 4 texels per pixel across, 1 down keeps the full size.
  const QPoint scr[3] = {{0, 0}, {10, 0}, {0, 10}};
  const QPoint wide[3] = {{0, 0}, {40, 0}, {0, 10}};
  EXPECT_DOUBLE_EQ(TexelsPerPixel(wide, scr), 1.0);
  const QPoint twice[3] = {{0, 0}, {20, 0}, {0, 20}};
  EXPECT_DOUBLE_EQ(TexelsPerPixel(twice, scr), 2.0);
  // A turned and mirrored mapping has the same stretch.
  const QPoint turned[3] = {{100, 100}, {100, 130}, {130, 100}};
  EXPECT_NEAR(TexelsPerPixel(turned, scr), 3.0, 1e-12);
  const QPoint flat[3] = {{0, 0}, {10, 10}, {20, 20}};
  EXPECT_EQ(TexelsPerPixel(twice, flat), 0.0);
}

TEST(TextureLevels, ReducedCopiesAverageTwoByTwoBoxesAndFollowChanges) {
  TGBitmap t(3, 3);
  t.Image().fill(0xFF000000u);
  t.SetPixel(0, 0, 0x040404);
  t.SetPixel(1, 0, 0x080000);
  t.SetPixel(0, 1, 0x000C00);
  t.SetPixel(1, 1, 0x000001);
  t.SetPixel(2, 0, 0x000010);  // odd right edge: the last column counts twice
  t.SetPixel(2, 2, 0x640000);  // odd corner: four times
  t.AlphaBlend = 99;
  EXPECT_EQ(&t.Reduced(0), &t);
  const TGBitmap& half = t.Reduced(1);
  ASSERT_EQ(half.Width(), 2);
  ASSERT_EQ(half.Height(), 2);
  EXPECT_EQ(half.Pixel(0, 0), 0xFF030401u);  // (4+8)/4, (4+12)/4, (4+1+2)/4 rounded
  EXPECT_EQ(half.Pixel(1, 0), 0xFF000008u);
  EXPECT_EQ(half.Pixel(1, 1), 0xFF640000u);
  EXPECT_EQ(half.AlphaBlend, 99);
  const TGBitmap& quarter = t.Reduced(2);
  EXPECT_EQ(quarter.Width(), 1);
  EXPECT_EQ(&t.Reduced(7), &t.Reduced(TGBitmap::kReducedLevels));
  EXPECT_EQ(t.Reduced(7).Pixel(0, 0), quarter.Pixel(0, 0));
  // Built once; rebuilt after the pixels change.
  EXPECT_EQ(&t.Reduced(1), &half);
  t.SetPixel(2, 2, 0x000000);
  EXPECT_EQ(t.Reduced(1).Pixel(1, 1), 0xFF000000u);
  // A copy keeps its own reductions when the original changes.
  TGBitmap copy = t;
  t.SetPixel(2, 2, 0xFFFFFF);
  EXPECT_EQ(copy.Reduced(1).Pixel(1, 1), 0xFF000000u);
  EXPECT_EQ(t.Reduced(1).Pixel(1, 1), 0xFFFFFFFFu);
  EXPECT_TRUE(TGBitmap().Reduced(1).GetEmpty());
}

TEST(TextureLevels, ZoomedOutTrianglesReadTheReducedCopy) {
  TGDefaultRenderer r;
  r.ResizeSurface(40, 40);
  r.ClearSurface(clRed);
  const TGBitmap stripes = Stripes(160, 160);
  // Four texels per pixel: the quarter-size copy, grey.
  const QPoint scr[3] = {{0, 0}, {40, 0}, {0, 40}};
  const QPoint tex[3] = {{0, 0}, {160, 0}, {0, 160}};
  r.TextureTriangle(tex, scr, stripes);
  EXPECT_EQ(Rgb(r.Picture().Pixel(5, 5)), 0x808080u);
  EXPECT_EQ(Rgb(r.Picture().Pixel(20, 10)), 0x808080u);
  // One texel per pixel: the stripes themselves.
  const QPoint same[3] = {{0, 0}, {40, 0}, {0, 40}};
  r.TextureTriangle(same, scr, stripes);
  EXPECT_EQ(Rgb(r.Picture().Pixel(5, 5)), 0xFFFFFFu);
  EXPECT_EQ(Rgb(r.Picture().Pixel(6, 5)), 0x000000u);
  // A texture with a transparent colour is read at full size, its key colour skipped.
  TGBitmap keyed = Stripes(160, 160);
  keyed.TransparentColor = clBlack;
  r.ClearSurface(clRed);
  r.TextureTriangle(tex, scr, keyed);
  for (int x = 0; x < 20; ++x) {
    const std::uint32_t p = Rgb(r.Picture().Pixel(x, 5));
    EXPECT_TRUE(p == 0xFF0000u || p == 0xFFFFFFu) << x << " " << std::hex << p;
  }
}

class TextureDecode : public ScratchDirTest {
 protected:
  TextureDecode() : ScratchDirTest("texture_decode_test") {}
};

// The globe's texture is decoded at the size the zoom needs: zoomed out, libjpeg's scaled decode
// draws the globe that the box-filtered copies of the full decode draw, and the full size is never
// decoded; zoomed in, it is, and the frame is that of a texture loaded whole.
TEST_F(TextureDecode, ZoomedOutGlobesNeedNoFullSizeAndZoomingInDecodesIt) {
  const std::string path = (dir_ / "world.jpg").string();
  WriteJpeg(path, 1440, 720, [](int x, int y) {
    const auto wave = [](double t) { return static_cast<std::uint32_t>(128 + 100 * std::sin(t)); };
    return wave(x / 23.0) << 16 | wave(y / 17.0) << 8 | wave((x + y) / 31.0);
  });
  TGCustomGlobeView scaled(200, 200), whole(200, 200);
  scaled.SetSurfaceTextureName(path);
  ASSERT_FALSE(scaled.SurfaceTexture().GetEmpty()) << scaled.SurfaceTexture().LastError();
  ASSERT_TRUE(whole.SurfaceTexture().LoadFromFile(path));
  auto show = [](TGCustomGlobeView& globe, double radius) {
    globe.Graticule().SetLatitudeStep(0);
    globe.Graticule().SetLongitudeStep(0);
    globe.Projector().SetScaleFactor(radius / kGlobeSphereRadius);
    globe.Projector().SetXRotation(25);
    globe.Projector().SetYRotation(-70);
    return globe.PaintToImage();
  };
  // Disc radii that read the half, quarter and eighth sizes at the centre of the disc.
  for (const double radius : {95.0, 50.0, 25.0}) {
    const QImage a = show(scaled, radius), b = show(whole, radius);
    ASSERT_EQ(a.size(), b.size());
    long sum = 0, count = 0;
    int worst = 0;
    for (int y = 0; y < a.height(); ++y) {
      for (int x = 0; x < a.width(); ++x) {
        for (int shift : {0, 8, 16}) {
          const int d = std::abs(static_cast<int>((a.pixel(x, y) >> shift) & 0xFF) -
                                 static_cast<int>((b.pixel(x, y) >> shift) & 0xFF));
          sum += d;
          worst = std::max(worst, d);
          ++count;
        }
      }
    }
    EXPECT_LT(static_cast<double>(sum) / count, 1.5) << radius;
    EXPECT_LT(worst, 48) << radius;
    EXPECT_FALSE(scaled.SurfaceTexture().FullSizeInMemory()) << radius;
  }
  // Close up: one texel per pixel or more, read from the full size.
  EXPECT_TRUE(show(scaled, 1500) == show(whole, 1500));
  EXPECT_TRUE(scaled.SurfaceTexture().FullSizeInMemory());
}

// A 4 × 2 texture whose western half is red and eastern half blue, seen close up across the
// 180° meridian: east of it on the globe (the western edge of the texture) lies right on screen.
TEST(TextureSeam, EachSideOfTheDateLineShowsItsOwnEdgeOfTheTexture) {
  TGBitmap texture(4, 2);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 4; ++x) texture.SetPixel(x, y, x < 2 ? 0xFF0000 : 0x0000FF);
  TGCustomGlobeView globe(200, 200);
  globe.SurfaceTexture().Assign(texture);
  globe.Graticule().SetLatitudeStep(0);
  globe.Graticule().SetLongitudeStep(0);
  TGProjector& prj = globe.Projector();
  prj.SetScaleFactor(3000 / kGlobeSphereRadius);
  prj.SetXRotation(0);
  prj.SetYRotation(180);
  const QImage image = globe.PaintToImage();
  // 179.5° as asked for, and 179.9°, which lies in the triangles that touch the meridian.
  for (const double lon : {179.5, 179.9}) {
    for (const double lat : {-0.5, 0.0, 0.7}) {
      QPoint east, west;
      ASSERT_TRUE(prj.LLToXY({DegreesToGU(lon), DegreesToGU(lat), 0}, east));
      ASSERT_TRUE(prj.LLToXY({DegreesToGU(-lon), DegreesToGU(lat), 0}, west));
      ASSERT_TRUE(image.rect().contains(east) && image.rect().contains(west));
      EXPECT_LT(east.x(), west.x());
      EXPECT_EQ(image.pixel(east) & 0xFFFFFF, 0x0000FFu) << lon << " " << lat;
      EXPECT_EQ(image.pixel(west) & 0xFFFFFF, 0xFF0000u) << lon << " " << lat;
    }
  }
}

// The texture pixels of the globe's vertices are kept from frame to frame: a view drawn after
// others, at another depth or with a texture of another size, looks as on a globe that draws it
// first.
TEST(TextureFrames, KeptTexelsGiveThePictureOfAFreshGlobe) {
  auto gradient = [](int width, int height) {
    TGBitmap t(width, height);
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x)
        t.SetPixel(x, y, ((x * 7) & 0xFF) | ((y * 13 & 0xFF) << 8) | (((x + y) & 0xFF) << 16));
    return t;
  };
  const TGBitmap big = gradient(360, 180), small = gradient(100, 50);
  struct Frame {
    double lon, lat;
    long double scale;
    const TGBitmap* texture;
  };
  const Frame frames[] = {
      {0, 0, 1e-7L, &big},     {120, 40, 3e-6L, &big},   {120, 40, 3e-6L, &small},
      {-60, -20, 3e-5L, &big}, {179, 10, 1e-6L, &small}, {0, 0, 1e-7L, &big},
  };
  auto show = [](TGCustomGlobeView& globe, const Frame& f) {
    globe.SurfaceTexture().Assign(*f.texture);
    globe.Projector().SetScaleFactor(f.scale);
    globe.Projector().SetXRotation(f.lat);
    globe.Projector().SetYRotation(f.lon);
    globe.RequestRender();  // the texture was changed in place
  };
  TGCustomGlobeView kept(200, 200);
  for (std::size_t k = 0; k < std::size(frames); ++k) {
    show(kept, frames[k]);
    const QImage picture = kept.PaintToImage();
    // The same settings in the same order, drawn once.
    TGCustomGlobeView fresh(200, 200);
    for (std::size_t i = 0; i <= k; ++i) show(fresh, frames[i]);
    EXPECT_TRUE(picture == fresh.PaintToImage()) << "frame " << k;
  }
}

}  // namespace
