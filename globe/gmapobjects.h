// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Map objects: points (TGMapPoint) and polylines or polygons (TGMapPoly) in globe units, with
// their data columns. Objects are shared through std::shared_ptr: an object source holds one
// reference, and callers may keep others for as long as they like.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "gchains.h"
#include "gunits.h"

namespace umbrivista {

class TGMapPoint;
class TGGlobeContext;

// The holder of map objects (an object source or a database layer): told when an object changed.
class TGObjectOwner {
 public:
  virtual void ObjectChanged(TGMapPoint& object) = 0;
  // The object's position or rectangle was set anew.
  virtual void GeometryChanged(TGMapPoint& /*object*/) {}

 protected:
  ~TGObjectOwner() = default;
};

// The centroid height that marks the centroid of a poly as not yet computed.
inline constexpr std::int32_t kCentroidNotComputed = -2147483647;

// Comma text: items joined with commas; an item with a blank or control character, a comma or a
// double quote is written between double quotes with inner double quotes doubled, and a list of
// exactly one empty item is written as two double quotes. When read, commas and blanks outside
// double quotes separate items.
std::vector<std::string> ParseCommaText(std::string_view text);
std::string BuildCommaText(const std::vector<std::string>& items);

class TGMapPoint {
 public:
  TGMapPoint() = default;
  virtual ~TGMapPoint() = default;
  TGMapPoint(const TGMapPoint&) = delete;
  TGMapPoint& operator=(const TGMapPoint&) = delete;

  virtual bool IsPoly() const { return false; }

  // The source that holds the object and the object's handle there (1-based); null and 0 when
  // the object is in no source.
  TGObjectOwner* Owner() const { return owner_; }
  std::int32_t Handle() const { return handle_; }
  void SetOwner(TGObjectOwner* owner, std::int32_t handle) {
    owner_ = owner;
    handle_ = handle;
  }

  bool Hidden() const { return hidden_; }
  void SetHidden(bool hidden);
  bool Selected() const { return selected_; }
  void SetSelected(bool selected);
  // The presenter that draws the object; 0 draws it with the default pen and brush.
  std::int32_t PresenterID() const { return presenterID_; }
  void SetPresenterID(std::int32_t id);
  const std::string& UserID() const { return userID_; }
  void SetUserID(const std::string& id);
  // The data columns as comma text; column 0 is the title.
  const std::string& ObjectDataCSL() const { return data_; }
  void SetObjectDataCSL(const std::string& text);
  // Column `index` of the data (at most 255 characters); empty for a negative or missing index.
  std::string GetColumn(int index) const;
  // Sets column `index`, appending empty columns up to it. A negative index does nothing.
  void SetColumn(int index, const std::string& text);

  // The centroid: for a point its position, for a poly computed from its chains when needed.
  const TGGlobePoint& Centroid();
  // Stores the point as centroid; the rectangle becomes (longitude, latitude, 1, 1).
  void SetCentroid(const TGGlobePoint& point);
  // The bounding rectangle, computed from the chains or the centroid when empty.
  const TGMER& MER();
  // Forgets the computed centroid (of a poly) and the rectangle, so that both are computed anew
  // on next use, and marks the object modified.
  void Invalidate();
  // Tells the owning source that the object changed.
  void NotifyOwner();

  // Where the projection keeps the object's position on the sphere between frames (see
  // TGCustomProjectionModel::CachedPointLLToXY).
  TGSpherePosition& SpherePosition() const { return spherePosition_; }

  bool Modified() const { return modified_; }
  void SetModified(bool modified) { modified_ = modified; }

  // Draws the object without a presenter: the renderer's default pen and brush, or the selected
  // ones when `state` has the selected bit.
  virtual void Render(TGGlobeContext& globe, unsigned state);

  // Stored geometry as it is, for storage (no computation).
  const TGGlobePoint& StoredCentroid() const { return centroid_; }
  const TGMER& StoredMER() const { return mer_; }
  void RestoreGeometry(const TGGlobePoint& centroid, const TGMER& mer) {
    centroid_ = centroid;
    mer_ = mer;
    if (owner_) owner_->GeometryChanged(*this);
  }

 protected:
  virtual void ComputeCentroid() {}
  virtual TGMER ComputeMER();

  TGGlobePoint centroid_{0, 0, kCentroidNotComputed};
  TGMER mer_;

 private:
  mutable TGSpherePosition spherePosition_;
  TGObjectOwner* owner_ = nullptr;
  std::int32_t handle_ = 0;
  bool hidden_ = false;
  bool selected_ = false;
  bool modified_ = false;
  std::int32_t presenterID_ = 0;
  std::string userID_;
  std::string data_;
};

class TGMapPoly : public TGMapPoint {
 public:
  bool IsPoly() const override { return true; }

  // A polygon when true, a polyline when false.
  bool Closed() const { return closed_; }
  void SetClosed(bool closed);
  TGChainStore& Chains() { return chains_; }
  const TGChainStore& Chains() const { return chains_; }
  // Chain `index`, adding empty chains up to it.
  TGPointStore& Chain(int index);

  void Render(TGGlobeContext& globe, unsigned state) override;

 protected:
  // The middle of the bounding rectangle.
  void ComputeCentroid() override;
  // The union of the chains' rectangles.
  TGMER ComputeMER() override;

 private:
  bool closed_ = false;
  TGChainStore chains_;
};

// State bits handed to presenters and objects when they draw.
inline constexpr unsigned kStateSelected = 2;
inline constexpr unsigned kStatePartlyVisible = 8;

}  // namespace umbrivista
