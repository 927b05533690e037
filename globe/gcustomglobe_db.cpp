// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// The globe's layers from its spatial database: a layer per database layer, kept in line with the
// database as it opens, changes, closes and goes away.

#include <algorithm>

#include "gcustomglobe.h"

namespace umbrivista {

namespace {

// The database layer a globe layer is bound to, or null for layers of other sources.
const TGSDBObjectSource* BoundSource(TGLayer& layer) {
  if (!layer.HasObjectSource() || !layer.ObjectSource().IsDatabaseBound()) return nullptr;
  return static_cast<const TGSDBObjectSource*>(&layer.ObjectSource());
}

// Frees the layers bound to `database` whose database layer is gone (all of them with `all`):
// each store from its last layer to its first, the sub-layers of a layer before the layer.
void RemoveBoundLayers(TGLayerStore& store, TGSpatialDatabase& database, bool all) {
  for (int i = store.Count() - 1; i >= 0; --i) {
    TGLayer& layer = store.GetLayer(i);
    RemoveBoundLayers(layer.Layers(), database, all);
    const TGSDBObjectSource* source = BoundSource(layer);
    if (source && &source->Database() == &database &&
        (all || database.FindLayer(source->GUID()) < 0)) {
      store.Delete(layer);
    }
  }
}

}  // namespace

void TGCustomGlobeView::RemoveStaleLayers(TGLayerStore& store, TGSpatialDatabase& database) {
  RemoveBoundLayers(store, database, false);
}

void TGCustomGlobeView::SetSpatialDatabase(TGSpatialDatabase* database) {
  if (database == database_) return;
  if (database_) {
    database_->RemoveListener(this);
    RemoveBoundLayers(Layers(), *database_, true);
    setAside_.clear();
  }
  database_ = database;
  if (!database_) return;
  database_->AddListener(this);
  reloadPending_ = true;
  if (updateCount_ == 0) ReloadLayers();
}

void TGCustomGlobeView::DatabaseNotify(TGSpatialDatabase& database, int code) {
  if (&database != database_) return;
  switch (code) {
    case sdbOpened:
    case sdbChanged:
      reloadPending_ = true;
      if (updateCount_ == 0) ReloadLayers();
      break;
    case sdbClosing:
      ResetRootLayer();
      break;
    case sdbDestroying:
      RemoveBoundLayers(Layers(), database, true);
      setAside_.clear();
      database_ = nullptr;
      RequestRender();
      break;
    default:
      break;
  }
}

void TGCustomGlobeView::ResetRootLayer() {
  // The database's layers keep their presenters and settings (and callers' references to them
  // stay valid) while the database is closed; the reload after it opens again takes them up.
  for (int i = Layers().Count() - 1; i >= 0; --i) {
    TGLayer& layer = Layers().GetLayer(i);
    const TGSDBObjectSource* source = BoundSource(layer);
    if (source && &source->Database() == database_) setAside_.push_back(Layers().Extract(layer));
  }
  root_->Reset();
  AddDefaultPresenters();
}

void TGCustomGlobeView::ReloadLayers() {
  if (!reloadPending_) return;
  BeginUpdate();
  try {
    if (database_ && database_->Active()) {
      TGSpatialDatabase& db = *database_;
      const int count = db.LayerCount();
      Progress(pkStart, 0, count);
      TGLayer* previous = nullptr;
      for (int i = 0; i < count; ++i) {
        const QUuid guid = db.LayerGUID(i);
        TGLayer* layer = previous ? previous->Layers().FindByGUID(guid) : nullptr;
        if (!layer) layer = Layers().FindByGUID(guid);
        if (!layer) {
          std::unique_ptr<TGLayer> made;
          const auto kept = std::find_if(setAside_.begin(), setAside_.end(), [&](const auto& l) {
            return l->ObjectSource().GUID() == guid;
          });
          if (kept != setAside_.end()) {
            made = std::move(*kept);
            setAside_.erase(kept);
          } else {
            made = std::make_unique<TGLayer>();
            made->SetName(db.LayerName(i));
            made->SetObjectSource(std::make_unique<TGSDBObjectSource>(db, guid, db.LayerName(i)));
          }
          layer = made.get();
          Layers().Add(std::move(made));
        }
        previous = layer;
        if (i % 50 == 0) Progress(pkStep, i * 100 / count, i);
      }
      RemoveStaleLayers(Layers(), db);
      Progress(pkEnd, 100, count);
    }
  } catch (...) {
    reloadPending_ = false;
    setAside_.clear();
    EndUpdate();
    throw;
  }
  reloadPending_ = false;
  setAside_.clear();
  EndUpdate();
  if (OnLayersChanged) OnLayersChanged();
  LayersChangedEvent();
}

void TGCustomGlobeView::Progress(TGProgressKind kind, int percent, int count) {
  if (OnProgress) OnProgress(kind, percent, count);
  ProgressEvent(kind, percent, count);
}

}  // namespace umbrivista
