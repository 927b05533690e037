// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include "gmapobjects.h"

#include "gglobecontext.h"
#include "gprojector.h"
#include "grenderer.h"

namespace umbrivista {

// ---------------------------------------------------------------------------------------------
// Comma text

namespace {

// The first `limit` items of a comma text (all when there are fewer).
std::vector<std::string> ParseItems(std::string_view text, std::size_t limit) {
  std::vector<std::string> items;
  std::size_t i = 0;
  const std::size_t n = text.size();
  auto blank = [&](std::size_t k) {
    return k < n && static_cast<unsigned char>(text[k]) <= ' ' && text[k] != '\0';
  };
  while (blank(i)) ++i;
  while (i < n && text[i] != '\0') {
    std::string item;
    if (text[i] == '"') {
      ++i;
      while (i < n) {
        if (text[i] == '"') {
          if (i + 1 < n && text[i + 1] == '"') {
            item += '"';
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        item += text[i++];
      }
    } else {
      const std::size_t start = i;
      while (i<n&& static_cast<unsigned char>(text[i])> ' ' && text[i] != ',') ++i;
      item.assign(text.substr(start, i - start));
    }
    items.push_back(std::move(item));
    if (items.size() >= limit) break;
    while (blank(i)) ++i;
    if (i < n && text[i] == ',') {
      if (i + 1 >= n) items.emplace_back();
      do {
        ++i;
      } while (blank(i));
    }
  }
  return items;
}

}  // namespace

std::vector<std::string> ParseCommaText(std::string_view text) {
  return ParseItems(text, static_cast<std::size_t>(-1));
}

std::string BuildCommaText(const std::vector<std::string>& items) {
  if (items.size() == 1 && items[0].empty()) return "\"\"";
  std::string out;
  for (std::size_t k = 0; k < items.size(); ++k) {
    if (k > 0) out += ',';
    const std::string& item = items[k];
    bool quote = false;
    for (const char c : item) {
      if (static_cast<unsigned char>(c) <= ' ' || c == '"' || c == ',') {
        quote = true;
        break;
      }
    }
    if (!quote) {
      out += item;
      continue;
    }
    out += '"';
    for (const char c : item) {
      if (c == '"') out += '"';
      out += c;
    }
    out += '"';
  }
  return out;
}

namespace {

// At most `count` UTF-8 characters of a text.
std::string FirstCharacters(std::string text, std::size_t count) {
  std::size_t chars = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) continue;  // continuation byte
    if (chars == count) {
      text.resize(i);
      break;
    }
    ++chars;
  }
  return text;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// TGMapPoint

void TGMapPoint::SetHidden(bool hidden) {
  if (hidden == hidden_) return;
  hidden_ = hidden;
  modified_ = true;
}

void TGMapPoint::SetSelected(bool selected) {
  if (selected == selected_) return;
  selected_ = selected;
  modified_ = true;
}

void TGMapPoint::SetPresenterID(std::int32_t id) {
  if (id == presenterID_) return;
  presenterID_ = id;
  modified_ = true;
}

void TGMapPoint::SetUserID(const std::string& id) {
  if (id == userID_) return;
  userID_ = id;
  modified_ = true;
}

void TGMapPoint::SetObjectDataCSL(const std::string& text) {
  if (text == data_) return;
  data_ = text;
  modified_ = true;
}

std::string TGMapPoint::GetColumn(int index) const {
  if (index < 0) return {};
  std::vector<std::string> items = ParseItems(data_, static_cast<std::size_t>(index) + 1);
  if (static_cast<std::size_t>(index) >= items.size()) return {};
  return FirstCharacters(std::move(items[index]), 255);
}

void TGMapPoint::SetColumn(int index, const std::string& text) {
  if (index < 0) return;
  std::vector<std::string> items = ParseCommaText(data_);
  if (items.size() <= static_cast<std::size_t>(index)) items.resize(index + 1);
  items[index] = text;
  SetObjectDataCSL(BuildCommaText(items));
}

const TGGlobePoint& TGMapPoint::Centroid() {
  if (centroid_.Height == kCentroidNotComputed) {
    ComputeCentroid();
    if (centroid_.Height == kCentroidNotComputed) centroid_.Height = 0;
  }
  return centroid_;
}

void TGMapPoint::SetCentroid(const TGGlobePoint& point) {
  centroid_ = point;
  mer_ = {point.Longitude, point.Latitude, 1, 1};
  modified_ = true;
  if (owner_) owner_->GeometryChanged(*this);
}

const TGMER& TGMapPoint::MER() {
  if (mer_.Empty()) mer_ = ComputeMER();
  return mer_;
}

TGMER TGMapPoint::ComputeMER() {
  const TGGlobePoint& c = Centroid();
  return {c.Longitude, c.Latitude, 1, 1};
}

void TGMapPoint::Invalidate() {
  // A plain point keeps its position: its centroid is not computed from anything else.
  if (IsPoly()) centroid_.Height = kCentroidNotComputed;
  mer_ = {};
  modified_ = true;
  if (owner_) owner_->GeometryChanged(*this);
}

void TGMapPoint::NotifyOwner() {
  if (owner_) owner_->ObjectChanged(*this);
}

void TGMapPoint::Render(TGGlobeContext& globe, unsigned state) {
  TGRenderer& r = globe.Renderer();
  QPoint p;
  if (!globe.Projector().LLToXY(Centroid(), p)) return;
  if (state & kStateSelected) {
    r.SelectPen(r.SelectedPen);
    r.SelectBrush(r.SelectedBrush);
  } else {
    r.SelectNothing();
  }
  r.Ellipse(QRect(p.x() - 3, p.y() - 3, 6, 6));
}

// ---------------------------------------------------------------------------------------------
// TGMapPoly

void TGMapPoly::SetClosed(bool closed) {
  if (closed == closed_) return;
  closed_ = closed;
  SetModified(true);
}

TGPointStore& TGMapPoly::Chain(int index) {
  if (index < 0) index = 0;
  if (chains_.size() <= static_cast<std::size_t>(index)) chains_.resize(index + 1);
  return chains_[index];
}

void TGMapPoly::ComputeCentroid() {
  const TGMER& r = MER();
  if (r.Empty()) {
    centroid_ = {0, 0, 0};
    return;
  }
  const std::int64_t lon = static_cast<std::int64_t>(r.Left) + r.Width / 2;
  centroid_ = {NormalizeLongitudeGU(static_cast<std::int32_t>(lon > kGU180 ? lon - kGU360 : lon)),
               static_cast<std::int32_t>(static_cast<std::int64_t>(r.Top) + r.Height / 2), 0};
}

TGMER TGMapPoly::ComputeMER() {
  TGMER r;
  for (const TGPointStore& chain : chains_) r = UnionMER(r, PointListMER(chain.Points));
  return r;
}

void TGMapPoly::Render(TGGlobeContext& globe, unsigned state) {
  TGRenderer& r = globe.Renderer();
  if (state & kStateSelected) {
    r.SelectPen(r.SelectedPen);
    r.SelectBrush(r.SelectedBrush);
  } else {
    r.SelectNothing();
  }
  globe.RenderChains(chains_, closed_);
}

}  // namespace umbrivista
