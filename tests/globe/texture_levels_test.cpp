// Reduced texture copies: the box filter, when the renderer reads them, and the texture seam at
// the 180° meridian.

#include <gtest/gtest.h>

#include "gcustomglobe.h"
#include "gprojector.h"
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

TEST(TextureLevels, ChosenWhereAPixelSpansTwoAndFourTexels) {
  EXPECT_EQ(TextureLevel(0), 0);
  EXPECT_EQ(TextureLevel(1.999), 0);
  EXPECT_EQ(TextureLevel(2), 1);
  EXPECT_EQ(TextureLevel(3.999), 1);
  EXPECT_EQ(TextureLevel(4), 2);
  EXPECT_EQ(TextureLevel(1000), 2);
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
  EXPECT_EQ(&t.Reduced(7), &quarter);
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
