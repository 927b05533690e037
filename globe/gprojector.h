// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The projector and its projection models: the view state of the globe (rotation, origin,
// scale, limits) and the formulas that turn geographic points into screen pixels and back.
//
// All projection results go to the renderer's shared point buffer: the operation that projects
// into index i writes Points()[i]; an unprojection writes longitude and latitude (globe units)
// into the two integers of Points()[i].

#include <QPoint>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "gunits.h"

namespace umbrivista {

class TGProjectorHost;
class TGRenderer;
class TGBitmap;
class TGProjector;

enum TGXAxisChanges : std::uint8_t { xaYOrigin, xaCentralParallel, xaNoAction };
enum TGYAxisChanges : std::uint8_t { yaXOrigin, yaCentralMeridian, yaNoAction };
enum TGSpheroid : std::uint8_t {
  Airy1830,
  Australian1965,
  Bessel1841,
  Clarke1866,
  Clarke1880,
  Everest1830,
  GRS1967,
  GRS1980,
  Helmert1906,
  Hough,
  International1920,
  Krassovsky1940,
  SouthAmerican1969,
  WGS60,
  WGS66,
  WGS72,
  WGS84,
};

// Indices of the projector's indexed properties.
enum TGProjectorIndex : int {
  piXRotation = 0,
  piYRotation = 1,
  piZRotation = 2,
  piScaleFactor = 3,
  piXOrigin = 4,
  piYOrigin = 5,
  piCentralMeridian = 6,
  piCentralParallel = 7,
  piFirstParallel = 8,
  piSecondParallel = 9,
  piMaxLatitude = 13,
  piMinLatitude = 14,
  piMaxLongitude = 15,
  piMinLongitude = 16,
  piMaxZoom = 17,
  piMinZoom = 18,
};

// A saved view: scale, origin, the three rotations in globe units, the client size.
struct TGViewRecord {
  long double ScaleFactor = 0;
  std::int32_t XOrigin = 0, YOrigin = 0;
  std::int32_t Rotation[3] = {0, 0, 0};
  std::int32_t ClientWidth = 0, ClientHeight = 0;
};

// Flags of RectVisible: the rectangle is visible; it is only partly visible.
inline constexpr unsigned kRectVisibleFlag = 4;
inline constexpr unsigned kRectPartlyVisibleFlag = 8;

class TGCustomProjectionModel {
 public:
  explicit TGCustomProjectionModel(TGProjector& projector) : prj_(projector) {}
  virtual ~TGCustomProjectionModel() = default;
  TGCustomProjectionModel(const TGCustomProjectionModel&) = delete;
  TGCustomProjectionModel& operator=(const TGCustomProjectionModel&) = delete;

  virtual const char* ClassName() const = 0;
  // Projects `points` into the point buffer from `firstIndex` on and returns the index after the
  // last point written.
  virtual int PointStoreToXY(std::span<const TGGlobePoint> points, int firstIndex) = 0;
  // Projects one point into Points()[index] (written in every case); true when visible.
  virtual bool PointLLToXY(const TGGlobePoint& point, int index) = 0;
  bool LLToXYIndex(std::int32_t lon, std::int32_t lat, int index) {
    return PointLLToXY({lon, lat, 0}, index);
  }
  bool LLHToXYIndex(std::int32_t lon, std::int32_t lat, std::int32_t height, int index) {
    return PointLLToXY({lon, lat, height}, index);
  }
  // PointLLToXY for a point drawn frame after frame: a model that works on the sphere keeps the
  // point's sphere position in `kept` and takes it from there while it is for the same point.
  virtual bool CachedPointLLToXY(const TGGlobePoint& point, TGSpherePosition& kept, int index) {
    (void)kept;
    return PointLLToXY(point, index);
  }
  // Unprojects pixel (x, y) into Points()[index] as (longitude, latitude); false off the map.
  virtual bool XYToLLIndex(int x, int y, int index) = 0;
  // True when pixel (x, y) lies on the map (Points()[0] may be overwritten).
  virtual bool XYOnMap(int x, int y) { return XYToLLIndex(x, y, 0); }
  // The rectangle that PointListMER gives for the unprojections (longitudes normalised) of those
  // pixels that lie on the map; their number goes to `onMap`.
  virtual TGMER PixelsMER(std::span<const QPoint> pixels, int& onMap);
  virtual TGExtent ModelExtent() const = 0;
  virtual TGViewRecord SaveView() const = 0;
  virtual void RestoreView(const TGViewRecord& view) = 0;
  // Visibility of a geographic rectangle; sets kRectVisibleFlag and, for a partly visible one,
  // kRectPartlyVisibleFlag in `flags` (both cleared first).
  virtual bool RectVisible(const TGMER& rect, unsigned& flags) = 0;
  virtual void PropertyChanged(int index) = 0;
  virtual void PaintSurfaceTexture(const TGBitmap& texture) = 0;
  virtual void PaintSurfaceShape() = 0;
  virtual std::unique_ptr<TGCustomProjectionModel> Clone(TGProjector& owner) const = 0;
  virtual bool IsSeamless() const = 0;

 protected:
  TGProjector& prj_;
};

// Default operations shared by the models.
class TGProjectionModel : public TGCustomProjectionModel {
 public:
  using TGCustomProjectionModel::TGCustomProjectionModel;
  int PointStoreToXY(std::span<const TGGlobePoint> points, int firstIndex) override;
  TGExtent ModelExtent() const override { return {-(kGU180 - 1), -kGU90, kGU180, kGU90}; }
  bool RectVisible(const TGMER& rect, unsigned& flags) override;
  bool IsSeamless() const override { return false; }

 protected:
  // The scale, origin and window size of the current view; the rotations are left at 0.
  TGViewRecord SaveScaleAndOrigin() const;
  // Sets the scale and origin of `view`, both grown by the ratio of the window's diagonal now to
  // the one it was saved with.
  void RestoreScaleAndOrigin(const TGViewRecord& view);
  // One part of RectVisible: the rectangle must not cross the 180° meridian.
  int RectPartVisible(std::int64_t left, std::int64_t right, std::int32_t top, std::int32_t bottom,
                      bool& partly);
};

// The orthographic globe.
class TGSphericalPrj : public TGProjectionModel {
 public:
  explicit TGSphericalPrj(TGProjector& projector);
  const char* ClassName() const override { return "TGSphericalPrj"; }
  int PointStoreToXY(std::span<const TGGlobePoint> points, int firstIndex) override;
  bool PointLLToXY(const TGGlobePoint& point, int index) override;
  bool CachedPointLLToXY(const TGGlobePoint& point, TGSpherePosition& kept, int index) override;
  bool XYToLLIndex(int x, int y, int index) override;
  bool XYOnMap(int x, int y) override;
  // Finds the extremes without unprojecting every pixel: latitude grows with the rotated y
  // component and longitude with a pseudo-angle of the rotated x and z components, so only the
  // extreme pixels (and the few whose rounding to globe units could land on the other side of
  // 0° or of 180°) are turned into longitude and latitude.
  TGMER PixelsMER(std::span<const QPoint> pixels, int& onMap) override;
  TGExtent ModelExtent() const override;
  TGViewRecord SaveView() const override;
  void RestoreView(const TGViewRecord& view) override;
  void PropertyChanged(int index) override;
  void PaintSurfaceTexture(const TGBitmap& texture) override;
  void PaintSurfaceShape() override;
  std::unique_ptr<TGCustomProjectionModel> Clone(TGProjector& owner) const override;
  bool IsSeamless() const override { return true; }

  double DiscRadius() const { return radius_; }
  // Texture subdivision depth for a scale (pixels per globe unit): 4 … 7.
  static int TextureDepth(long double scaleFactor);

  // Rotated, scaled coordinates (pixels relative to the origin; z < 0 faces the viewer).
  void Rotate(const TGGlobePoint& point, double& x, double& y, double& z) const;
  // The same for a unit vector (X east at 90°, Y north, Z at longitude 0) on the sphere.
  void RotateUnit(const double (&v)[3], double& x, double& y, double& z) const;
  // True when a rotated z faces the viewer.
  bool FacesViewer(double z) const;

 private:
  void RebuildMatrices();
  // A point's place on the sphere, and that place rotated and scaled as Rotate gives it.
  static void SpherePoint(const TGGlobePoint& point, double sinLon, double cosLon, double sinLat,
                          double cosLat, double& px, double& py, double& pz);
  void RotateSphere(double px, double py, double pz, double& x, double& y, double& z) const;
  // The rest of PointLLToXY for a point rotated to (x, y, z).
  bool PlaceRotated(const TGGlobePoint& point, double x, double y, double z, int index);
  // The texture pixels of the subdivided octahedron's vertices for a texture of that size; they
  // do not change with the view. Tables of a few sizes are kept, the one used last first.
  std::vector<QPoint>& TexelTable(int width, int height);
  struct TexelTableEntry {
    int width, height;
    std::vector<QPoint> texels;
  };
  std::vector<TexelTableEntry> texelTables_;

  // Sine and cosine of recently projected longitudes and latitudes. Graticule lines and outlines
  // repeat the same coordinates again and again (every meridian has the same latitudes).
  struct SinCosCache {
    static constexpr int kSize = 4096;
    struct Entry {
      std::int32_t key;
      double sine, cosine;
    };
    std::unique_ptr<Entry[]> entries;
    SinCosCache();
    void Get(std::int32_t gu, double& s, double& c);
  };
  mutable SinCosCache lonCache_, latCache_;

  double forward_[4][4] = {};
  double inverse_[4][4] = {};
  double radius_ = 0;
  double radius2_ = 0;
};

// The flat (plate carrée) map.
class TGCartesianPrj : public TGProjectionModel {
 public:
  explicit TGCartesianPrj(TGProjector& projector);
  const char* ClassName() const override { return "TGCartesianPrj"; }
  bool PointLLToXY(const TGGlobePoint& point, int index) override;
  bool XYToLLIndex(int x, int y, int index) override;
  TGViewRecord SaveView() const override;
  void RestoreView(const TGViewRecord& view) override;
  void PropertyChanged(int index) override;
  void PaintSurfaceTexture(const TGBitmap& texture) override;
  void PaintSurfaceShape() override;
  std::unique_ptr<TGCustomProjectionModel> Clone(TGProjector& owner) const override;

 protected:
  // Map y (globe units, north up) of a latitude (globe units), and the latitude of a map y. The
  // plate carrée takes the latitude as it is. A latitude beyond LatitudeLimit() is placed at the
  // edge of the map.
  virtual double LatitudeToY(std::int32_t latitude) const { return latitude; }
  virtual double YToLatitude(double y) const { return y; }
  // The highest latitude on the map (globe units); points farther north or south are hidden.
  virtual std::int32_t LatitudeLimit() const { return kGU90; }
  // Height of the rows in which the texture is drawn (globe units); each row is mapped linearly.
  virtual std::int32_t TextureRowHeight() const { return 10 * kGUPerDegree; }

 private:
  TGDecimalDegree previousX_;
  TGDecimalDegree previousY_;
  bool ignoreCentralMeridian_ = false;
};

// The spherical Mercator map, cut at 85° north and south: x = R·λ, y = R·ln tan(π/4 + φ/2) with
// R = GlobeUnitsPerRadian, so that x is the longitude in globe units as on the plate carrée and
// the map is nearly square (y at 85° is 179.4° worth of globe units).
class TGMercatorPrj : public TGCartesianPrj {
 public:
  using TGCartesianPrj::TGCartesianPrj;
  static constexpr std::int32_t kLatitudeLimit = 85 * kGUPerDegree;
  const char* ClassName() const override { return "TGMercatorPrj"; }
  TGExtent ModelExtent() const override;
  std::unique_ptr<TGCustomProjectionModel> Clone(TGProjector& owner) const override;

  // y (globe units) of a latitude (globe units), clamped to ±85°; and its inverse, clamped too.
  static double MercatorY(double latitude);
  static double MercatorLatitude(double y);

 protected:
  double LatitudeToY(std::int32_t latitude) const override { return MercatorY(latitude); }
  double YToLatitude(double y) const override { return MercatorLatitude(y); }
  std::int32_t LatitudeLimit() const override { return kLatitudeLimit; }
  std::int32_t TextureRowHeight() const override { return kGUPerDegree; }
};

// Column and row of a geographic point on a width × height equirectangular texture: longitude
// −180° → column 0, +180° → width − 1, latitude +90° → row 0, −90° → height − 1.
QPoint TexturePixel(const TGGlobePoint& point, int width, int height);

// Creates the projection model of that class name (case-insensitive); nullptr when the name is
// not a projection model.
std::unique_ptr<TGCustomProjectionModel> CreateProjectionModel(const std::string& className,
                                                               TGProjector& projector);

class TGProjector {
 public:
  // Throws std::invalid_argument for a null host. The host's renderer must exist already.
  explicit TGProjector(TGProjectorHost* host);
  ~TGProjector();
  TGProjector(const TGProjector&) = delete;
  TGProjector& operator=(const TGProjector&) = delete;

  TGRenderer& Renderer() const;
  QPoint* Points() const;
  TGCustomProjectionModel& Model() const { return *model_; }

  std::int32_t XOrigin() const { return xOrigin_; }
  std::int32_t YOrigin() const { return yOrigin_; }
  std::int32_t ViewDistance() const { return viewDistance_; }
  TGDecimalDegree XRotation() const { return values_[piXRotation]; }
  TGDecimalDegree YRotation() const { return values_[piYRotation]; }
  TGDecimalDegree ZRotation() const { return values_[piZRotation]; }
  TGDecimalDegree CentralMeridian() const { return values_[piCentralMeridian]; }
  TGDecimalDegree CentralParallel() const { return values_[piCentralParallel]; }
  TGDecimalDegree MaxLatitude() const { return values_[piMaxLatitude]; }
  TGDecimalDegree MinLatitude() const { return values_[piMinLatitude]; }
  TGDecimalDegree MaxLongitude() const { return values_[piMaxLongitude]; }
  TGDecimalDegree MinLongitude() const { return values_[piMinLongitude]; }
  TGDecimalDegree MaxZoom() const { return values_[piMaxZoom]; }
  TGDecimalDegree MinZoom() const { return values_[piMinZoom]; }
  long double ScaleFactor() const { return scaleFactor_; }
  TGDecimalDegree GetByIndex(int index) const;

  // The setter behind every real-valued indexed property (see TGProjectorIndex). A value equal to
  // the stored one, or one that is not finite, has no effect.
  void SetByIndex(int index, TGDecimalDegree value);
  // The setter of XOrigin (4) and YOrigin (5).
  void SetIntByIndex(int index, std::int32_t value);
  void SetXRotation(TGDecimalDegree v) { SetByIndex(piXRotation, v); }
  void SetYRotation(TGDecimalDegree v) { SetByIndex(piYRotation, v); }
  void SetZRotation(TGDecimalDegree v) { SetByIndex(piZRotation, v); }
  void SetXOrigin(std::int32_t v) { SetIntByIndex(piXOrigin, v); }
  void SetYOrigin(std::int32_t v) { SetIntByIndex(piYOrigin, v); }
  void SetXYOrigin(QPoint origin);
  // Pixels per globe unit. Negative values, NaN and values within 1e-10 of the current one do
  // nothing; 0 fits the whole model into the drawing surface.
  void SetScaleFactor(long double value);
  // Scales by `ratio` keeping the geographic point under the `fixed` pixel where it is.
  void ZoomAbout(QPoint fixed, long double ratio);

  // Unprojects a pixel; false (and the no-point marker) off the map.
  bool XYToLL(int x, int y, TGGlobePoint& out) const;
  // Projects a point; the pixel is written even when the point is hidden (false).
  bool LLToXY(const TGGlobePoint& point, QPoint& out) const;
  // Projects three points; false as soon as one is hidden.
  bool TriangleToXY(const TGGlobePoint (&points)[3], QPoint (&out)[3]) const;

  // Longitude and latitude (degrees) under the middle of the drawing surface; 2147483647.0 when
  // that pixel is off the map.
  double CenterLatitude() const;
  double CenterLongitude() const;
  void SetCenterLatitude(TGDecimalDegree latitude);
  void SetCenterLongitude(TGDecimalDegree longitude);

  std::string ProjectionClass() const { return model_->ClassName(); }
  // Switches the model, keeping the point under the client centre; throws std::invalid_argument
  // ("Class %s does not inherit from TProjectionModel") for a name that is not a model.
  void SetProjectionClass(const std::string& name);

  TGExtent ModelExtent() const { return model_->ModelExtent(); }
  bool IsSeamless() const { return model_->IsSeamless(); }

  bool UseMinMaxLimits() const { return useMinMaxLimits_; }
  void SetUseMinMaxLimits(bool on);
  TGXAxisChanges XAxisChanges = xaYOrigin;
  TGYAxisChanges YAxisChanges = yaCentralMeridian;
  TGDecimalDegree FieldOfViewAngle = 50;
  TGSpheroid Spheroid = WGS84;

 private:
  friend class TGCartesianPrj;
  int SurfaceWidth() const;
  int SurfaceHeight() const;
  // ZoomAbout from step 2 on, with the new scale p already limited.
  void ApplyZoom(QPoint fixed, long double p);

  TGProjectorHost* host_;
  std::int32_t xOrigin_ = 0;
  std::int32_t yOrigin_ = 0;
  std::int32_t viewDistance_ = 0;
  TGDecimalDegree values_[19] = {};
  long double scaleFactor_ = 0;
  bool useMinMaxLimits_ = false;
  std::unique_ptr<TGCustomProjectionModel> model_;
};

}  // namespace umbrivista
