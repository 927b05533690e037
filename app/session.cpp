// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include "session.h"

#include <algorithm>
#include <cmath>
#include <exception>

#include "captions.h"
#include "globe_frame.h"
#include "deltat.h"
#include "eclipse_date.h"
#include "eclipse_types.h"
#include "navigation.h"
#include "numbers.h"
#include "place_circumstances.h"
#include "poi_input.h"

namespace umbrivista {

namespace {

constexpr int kMinZoom = 60;
constexpr int kMaxZoom = 350;
constexpr int kResetZoom = 300;

// A coordinate box's text as the box keeps it: trimmed, or emptied when it is not a number in
// range.
std::string CoordinateText(std::string_view text, double limit) {
  std::string trimmed = TrimmedText(text);
  return ParseCoordinateText(trimmed, limit) ? trimmed : std::string();
}

// The degrees a kept text stands for (an empty box is 0).
double CoordinateValue(const std::string& text, double limit) {
  return ParseCoordinateText(text, limit).value_or(0);
}

}  // namespace

Session::Session(std::string version) : version_(std::move(version)) {}

void Session::Subscribe(SessionObserver* observer) {
  if (observer && std::find(observers_.begin(), observers_.end(), observer) == observers_.end())
    observers_.push_back(observer);
}

void Session::Unsubscribe(SessionObserver* observer) {
  observers_.erase(std::remove(observers_.begin(), observers_.end(), observer), observers_.end());
}

void Session::Notify(SessionChanges changes) {
  // A copy: an observer may unsubscribe while being told.
  const std::vector<SessionObserver*> observers = observers_;
  for (SessionObserver* observer : observers) observer->SessionChanged(changes);
}

std::string Session::LoadCatalogue(const std::string& path) {
  try {
    catalogue_.Load(path);
    return {};
  } catch (const std::exception& e) {
    return std::string("The eclipse catalogue cannot be used:\n") + e.what();
  }
}

// --- Start and end -----------------------------------------------------------------------------

void Session::ApplySettings(const SettingsRecord& s) {
  language_ = IsKnownLanguage(s.language) ? s.language : kDefaultLanguage;
  ut_ = s.ut;
  textureIndex_ = std::clamp(s.textureIndex, 0, kTextureCount - 1);
  playSpeedIndex_ = std::clamp(s.playSpeedIndex, 0, kPlaySpeedCount - 1);
  gridIndex_ = std::clamp(s.gridIndex, 0, kGridListCount - 1);
  // Radio pairs: a south (west) that is set wins, as in a group where one button excludes the
  // other; both may be unset.
  poiSouth_ = s.poiSouth;
  poiNorth_ = s.poiNorth && !s.poiSouth;
  poiWest_ = s.poiWest;
  poiEast_ = s.poiEast && !s.poiWest;
  poiLatitudeText_ = CoordinateText(s.poiLatitude, kMaxPoILatitude);
  poiLongitudeText_ = CoordinateText(s.poiLongitude, kMaxPoILongitude);
  PlacePoIFromTexts();
  showPoI_ = s.showPoI;
  showSubSolar_ = s.showSubSolar;
  showLimits_ = s.showLimits;
  showNightSide_ = s.showNightSide;
  showCapitals_ = s.showCapitals;
  zoom_ = std::clamp(s.zoomPosition, kMinZoom, kMaxZoom);
  cx_ = s.originX;
  cy_ = s.originY;
  savedPosition_ = s.eclipsePosition;
  savedTimePosition_ = std::clamp(s.timePosition, 0, kTimeSliderMax);
  timePosition_ = savedTimePosition_;
  if (CatalogueLoaded()) {
    SelectPosition(savedPosition_, true);
    SetTimePosition(savedTimePosition_);
  }
}

void Session::Start() {
  if (!CatalogueLoaded()) return;
  SelectPosition(position_ > 0 ? position_ : savedPosition_, true);
  SetTimePosition(savedTimePosition_);
}

void Session::CollectSettings(SettingsRecord& s) const {
  s.language = language_;
  s.showLimits = showLimits_;
  s.showNightSide = showNightSide_;
  // Without a catalogue the saved eclipse is kept for the next run.
  s.eclipsePosition = position_ > 0 ? position_ : savedPosition_;
  s.ut = ut_;
  s.textureIndex = textureIndex_;
  s.playSpeedIndex = playSpeedIndex_;
  s.gridIndex = gridIndex_;
  s.poiLatitude = poiLatitudeText_;
  s.poiNorth = poiNorth_;
  s.poiSouth = poiSouth_;
  s.poiLongitude = poiLongitudeText_;
  s.poiEast = poiEast_;
  s.poiWest = poiWest_;
  s.showPoI = showPoI_;
  s.showSubSolar = showSubSolar_;
  s.showCapitals = showCapitals_;
  s.timePosition = timePosition_;
  s.zoomPosition = zoom_;
  s.originX = cx_;
  s.originY = cy_;
}

// --- The eclipse -------------------------------------------------------------------------------

void Session::SelectPosition(int position, bool again) {
  if (!CatalogueLoaded()) return;
  position = std::clamp(position, 1, catalogue_.RecordCount());
  if (position == position_ && !again) return;
  position_ = position;
  yearBoxText_.clear();
  EclipseChange(ClearHints());
}

SessionChanges Session::ClearHints() {
  if (yearHint_.empty() && timeHint_.empty()) return 0;
  yearHint_.clear();
  timeHint_.clear();
  return kHintsChanged;
}

void Session::ComputeYearEclipses() {
  yearEclipses_.clear();
  if (position_ == 0) return;
  const CalendarDate date = GreatestEclipseDate(record_, ut_ ? DeltaT(record_.year, record_.month) : 0);
  yearEclipses_ = EclipsesOfYear(catalogue_, date.year, ut_, language_);
}

void Session::EclipseChange(SessionChanges also) {
  // A new eclipse ends an animation run; its instant starts at the estimated maximum.
  if (playing_) also |= kPlayChanged;
  playing_ = false;
  playCarry_ = 0;
  catalogue_.Select(position_);
  record_ = catalogue_.Current();
  timePosition_ = SliderPositionForTime(EstimatedMaximum(record_));
  ApplyTimeScale();
  ComputeYearEclipses();
  Notify(also | kEclipseChanged | kTimeScaleChanged | kInstantChanged | kPathChanged);
}

bool Session::EnterYear(std::string_view text) {
  if (!CatalogueLoaded()) return false;
  const std::optional<BoxSelection> selection = SelectByYear(catalogue_, text, ut_);
  if (!selection || selection->position == 0) {
    yearHint_ = YearBoxHint(language_);
    Notify(kHintsChanged);
    return false;
  }
  position_ = std::clamp(selection->position, 1, catalogue_.RecordCount());
  const SessionChanges hints = ClearHints();
  // A typed date stays in the box; a year shows as the year.
  yearBoxText_ = selection->boxText;
  EclipseChange(hints);
  return true;
}

bool Session::EnterSaros(std::string_view text) {
  if (!CatalogueLoaded()) return false;
  const BoxSelection selection = SelectBySaros(catalogue_, text, record_.sarosNumber);
  if (selection.position > 0) SelectPosition(selection.position, true);
  return true;
}

void Session::StepSeries(bool forward, int members) {
  if (!CatalogueLoaded() || position_ == 0) return;
  if (const int p = StepInSeries(catalogue_, position_, forward, members)) SelectPosition(p);
}

std::string Session::YearText() const {
  if (position_ == 0) return {};
  if (!yearBoxText_.empty()) return yearBoxText_;
  return std::to_string(
      GreatestEclipseDate(record_, ut_ ? DeltaT(record_.year, record_.month) : 0).year);
}

std::string Session::SarosText() const {
  return position_ > 0 ? std::to_string(record_.sarosNumber) : std::string();
}

std::string Session::SarosCaptionText() const {
  return position_ > 0 ? SarosCaption(record_, language_) : std::string();
}

// --- The instant -------------------------------------------------------------------------------

void Session::SetTimePosition(int position) {
  timePosition_ = std::clamp(position, 0, kTimeSliderMax);
  if (position_ == 0) return;
  ComputeInstant();
  Notify(kInstantChanged);
}

void Session::SetUt(bool ut) {
  ut_ = ut;
  if (position_ == 0) {
    Notify(kTimeScaleChanged);
    return;
  }
  ApplyTimeScale();
  // The year and the dates of the year's list are those of the shown scale.
  yearBoxText_.clear();
  ComputeYearEclipses();
  Notify(kTimeScaleChanged | kInstantChanged | kPathChanged);
}

bool Session::EnterTime(std::string_view text) {
  if (position_ == 0) return false;
  const auto seconds = ParseClockTime(text);
  const auto slider =
      seconds ? SliderPositionForClockTime(record_, deltaTInUse_, *seconds) : std::nullopt;
  if (!slider) {
    timeHint_ = TimeBoxHint(language_);
    Notify(kHintsChanged);
    return false;
  }
  const SessionChanges hints = ClearHints();
  timePosition_ = *slider;
  ComputeInstant();
  Notify(hints | kInstantChanged);
  return true;
}

std::string Session::TimeText() const {
  const std::string line = DateTimeText();
  // "YYYY-MM-DD  HH:MM:SS UT": the clock part.
  const auto space = line.rfind(' ');
  const auto start = line.rfind(' ', space == std::string::npos ? 0 : space - 1);
  if (space == std::string::npos || start == std::string::npos) return {};
  return line.substr(start + 1, space - start - 1);
}

void Session::ApplyTimeScale() {
  deltaTInUse_ = ut_ ? DeltaT(record_.year, record_.month) : 0.0;
  ComputeInstant();
  ComputePoILines();
}

void Session::ComputeInstant() {
  t_ = TimeForSliderPosition(timePosition_);
  jdTT_ = InstantJulianDay(record_, t_);
  jdUT_ = InstantJulianDay(record_, t_, deltaTInUse_);
  state_.deltaT = deltaTInUse_;
  instant_ = UpdateInstant(record_, t_, backView_, state_);
  rows_ = BuildInfoRows(record_, state_, instant_, backView_, language_);
  poiDistances_ = ComputePoIDistances(state_, poiLatitude_, poiLongitude_);
  ++instantComputations_;
}

std::string Session::DeltaTCaptionText() const {
  if (position_ == 0) return "TT";
  return DeltaTCaption(ut_, deltaTInUse_, record_.year, language_);
}

std::string Session::DateTimeText() const {
  if (position_ == 0) return {};
  return DateTimeLine(ut_ ? jdUT_ : jdTT_, ut_, language_);
}

std::string Session::TypeText() const {
  return position_ > 0 ? ShortTypeName(record_.typeCode, language_) : std::string();
}

std::string Session::CaptionBaseText() const { return CaptionBase(version_, language_); }

std::string Session::WindowTitle() const {
  if (position_ == 0) return CaptionBaseText();
  return WindowCaption(CaptionBaseText(), DateTimeText(), record_.typeCode, language_);
}

GlobeRotation Session::Orientation() const { return DisplayOrientation(state_, backView_); }

GlobeRotation Session::SunPosition() const { return DisplayOrientation(state_, false); }

// --- The view and the globe's choices ----------------------------------------------------------

void Session::SetMapView(bool map) {
  if (map == mapView_) return;
  mapView_ = map;
  if (map && backView_) {
    SetBackView(false);
    return;
  }
  Notify(kViewChanged);
}

void Session::SetMapProjection(MapProjection projection) {
  if (projection == mapProjection_) return;
  mapProjection_ = projection;
  if (mapView_) Notify(kViewChanged);
}

double Session::MapCentre() const {
  if (position_ == 0) return 0;
  ShadowState atT0;
  atT0.deltaT = deltaTInUse_;
  UpdateInstant(record_, 0, false, atT0);
  return MapCentralMeridian(atT0);
}

MapOverlayInput Session::MapOverlay() const {
  MapOverlayInput in;
  in.language = language_;
  if (position_ == 0) return in;
  in.instant = instant_;
  in.showSubSolar = showSubSolar_;
  in.subSolar = SubSolarPoint(state_);
  in.showPoI = showPoI_;
  in.poiLatitude = poiLatitude_;
  in.poiLongitude = poiLongitude_;
  return in;
}

void Session::SetBackView(bool back) {
  if (back) mapView_ = false;
  backView_ = back;
  // The view switch runs the eclipse change again: the instant returns to the estimated maximum.
  if (position_ > 0) {
    EclipseChange(kViewChanged);
  } else {
    Notify(kViewChanged);
  }
}

void Session::SetShowLimits(bool shown) {
  showLimits_ = shown;
  Notify(kLimitsChanged);
}

void Session::SetShowDeltaTBand(bool shown) {
  showDeltaTBand_ = shown;
  Notify(kBandChanged);
}

std::optional<std::pair<double, double>> Session::DeltaTBandRange() const {
  if (!showDeltaTBand_ || !ut_ || position_ == 0) return std::nullopt;
  const EclipseRecord& r = Record();
  const double sigma = DeltaTSigma(r.year, r.month);
  if (!(sigma >= kMinBandSigma)) return std::nullopt;
  return std::make_pair(deltaTInUse_ - 2 * sigma, deltaTInUse_ + 2 * sigma);
}

void Session::SetShowCapitals(bool shown) {
  showCapitals_ = shown;
  Notify(kCapitalsChanged);
}

void Session::SetShowSubSolar(bool shown) {
  showSubSolar_ = shown;
  Notify(kSubSolarChanged);
}

std::string Session::SubSolarCaptionText() const {
  return SubSolarCheckBoxCaption(backView_, language_);
}

void Session::SetShowNightSide(bool shown) {
  showNightSide_ = shown;
  Notify(kNightChanged);
}

void Session::SetTextureIndex(int index) {
  textureIndex_ = std::clamp(index, 0, kTextureCount - 1);
  Notify(kTextureChanged);
}

void Session::SetGridIndex(int index) {
  gridIndex_ = std::clamp(index, 0, kGridListCount - 1);
  Notify(kGridChanged);
}

// --- The globe's frame -------------------------------------------------------------------------

void Session::SetZoom(int position) {
  zoom_ = std::clamp(position, kMinZoom, kMaxZoom);
  Notify(kFrameChanged);
}

void Session::MoveGlobe(int dx, int dy) {
  const FramePoint to = KeepDiscInReach({cx_, cy_}, {cx_ + dx, cy_ + dy}, DiscRadiusPixels(zoom_),
                                        panelWidth_, panelHeight_);
  cx_ = to.x;
  cy_ = to.y;
  Notify(kFrameChanged);
}

void Session::ZoomAt(int position, int x, int y) {
  const int zoom = std::clamp(position, kMinZoom, kMaxZoom);
  const double radius = DiscRadiusPixels(zoom);
  const FramePoint about = ZoomCentreAbout({cx_, cy_}, {x, y}, DiscRadiusPixels(zoom_), radius);
  const FramePoint to = KeepDiscInReach({cx_, cy_}, about, radius, panelWidth_, panelHeight_);
  zoom_ = zoom;
  cx_ = to.x;
  cy_ = to.y;
  Notify(kFrameChanged);
}

bool Session::CentreOnPoI() {
  if (panelWidth_ < 1 || panelHeight_ < 1) return false;
  const DiscOffset at = PlaceOnDisc(Orientation(), poiLatitude_, poiLongitude_);
  if (!at.facing) return false;
  const double radius = DiscRadiusPixels(zoom_);
  cx_ = panelWidth_ / 2 - static_cast<int>(std::lround(at.x * radius));
  cy_ = panelHeight_ / 2 - static_cast<int>(std::lround(at.y * radius));
  Notify(kFrameChanged);
  return true;
}

void Session::CentreGlobe(int width, int height) {
  cx_ = width / 2;
  cy_ = height / 2;
  Notify(kFrameChanged);
}

void Session::ResetGlobe(int width, int height) {
  zoom_ = kResetZoom;
  CentreGlobe(width, height);
}

void Session::FitGlobe(int width, int height) {
  zoom_ = FittingZoom(width, height, kResetZoom);
  CentreGlobe(width, height);
}

void Session::PanelResized(int width, int height) {
  if (panelWidth_ >= 0 && cx_ == panelWidth_ / 2 && cy_ == panelHeight_ / 2) {
    cx_ = width / 2;
    cy_ = height / 2;
  }
  panelWidth_ = width;
  panelHeight_ = height;
  Notify(kFrameChanged);
}

// --- The point of interest ---------------------------------------------------------------------

void Session::SetPoILatitudeText(std::string_view text) {
  poiLatitudeText_ = CoordinateText(text, kMaxPoILatitude);
  MovePoI();
}

void Session::SetPoILongitudeText(std::string_view text) {
  poiLongitudeText_ = CoordinateText(text, kMaxPoILongitude);
  MovePoI();
}

void Session::SetPoISouth(bool south) {
  poiSouth_ = south;
  poiNorth_ = !south;
  MovePoI();
}

void Session::SetPoIWest(bool west) {
  poiWest_ = west;
  poiEast_ = !west;
  MovePoI();
}

void Session::PlacePoI(double latitude, double longitude) {
  // The point is where its boxes say: three decimals.
  poiSouth_ = latitude < 0;
  poiNorth_ = !poiSouth_;
  poiWest_ = longitude < 0;
  poiEast_ = !poiWest_;
  poiLatitudeText_ = CoordinateText(FormatFixed(std::fabs(latitude), 3), kMaxPoILatitude);
  poiLongitudeText_ = CoordinateText(FormatFixed(std::fabs(longitude), 3), kMaxPoILongitude);
  MovePoI();
}

void Session::PlacePoIFromTexts() {
  const double latitude = CoordinateValue(poiLatitudeText_, kMaxPoILatitude);
  const double longitude = CoordinateValue(poiLongitudeText_, kMaxPoILongitude);
  poiLatitude_ = poiSouth_ ? -latitude : latitude;
  poiLongitude_ = poiWest_ ? -longitude : longitude;
}

void Session::MovePoI() {
  PlacePoIFromTexts();
  showPoI_ = true;
  poiDistances_ = ComputePoIDistances(state_, poiLatitude_, poiLongitude_);
  ComputePoILines();
  Notify(kPointChanged);
}

void Session::SetShowPoI(bool shown) {
  showPoI_ = shown;
  ComputePoILines();
  Notify(kPointChanged);
}

std::pair<std::string, std::string> Session::PoIDistanceTexts() const {
  return PoIDistanceLabels(poiDistances_, state_.axisOnEarth, showPoI_, language_);
}

void Session::SetCivilTimeSource(std::string zonesPath, CivilOffsetFn offsets) {
  zonesPath_ = std::move(zonesPath);
  civilOffsets_ = std::move(offsets);
  zones_.reset();
  zonesProblem_.clear();
}

void Session::ComputePoILines() {
  poiLines_.clear();
  if (!showPoI_ || position_ == 0) return;
  // The zone file is read once, when a point is first shown.
  if (!zones_ && zonesProblem_.empty() && !zonesPath_.empty() && civilOffsets_) {
    try {
      zones_ = PlaceZones::Load(zonesPath_);
    } catch (const PlaceZonesError& e) {
      zonesProblem_ = e.what();
    }
  }
  std::optional<CivilClock> clock;
  if (zones_ && std::isfinite(poiLatitude_) && std::isfinite(poiLongitude_))
    clock = CivilClock{zones_->Find(poiLatitude_, poiLongitude_), civilOffsets_};
  poiLines_.push_back(FormatFixed(std::fabs(poiLatitude_), 3) +
                      (poiLatitude_ < 0 ? " S  " : " N  ") +
                      FormatFixed(std::fabs(poiLongitude_), 3) + (poiLongitude_ < 0 ? " W" : " E"));
  for (std::string& line :
       PlaceCircumstancesLines(record_, DeltaT(record_.year, record_.month), ut_, poiLatitude_,
                               poiLongitude_, language_, clock ? &*clock : nullptr))
    poiLines_.push_back(std::move(line));
}

// --- Language ----------------------------------------------------------------------------------

void Session::SetLanguage(Language language) {
  language_ = language;
  ComputeYearEclipses();
  if (!yearHint_.empty()) yearHint_ = YearBoxHint(language_);
  if (!timeHint_.empty()) timeHint_ = TimeBoxHint(language_);
  // The grid's labels and the point's lines are language text; the instant itself stays.
  if (position_ > 0) rows_ = BuildInfoRows(record_, state_, instant_, backView_, language_);
  ComputePoILines();
  Notify(kLanguageChanged);
}

// --- Animation ---------------------------------------------------------------------------------

void Session::SetPlaySpeedIndex(int index) {
  playSpeedIndex_ = std::clamp(index, 0, kPlaySpeedCount - 1);
  Notify(kPlayChanged);
}

double Session::PlayRate() const {
  if (!playing_) return 0;
  const double rate = kPlaySpeeds[playSpeedIndex_] * (playFast_ ? kFastPlayFactor : 1);
  return playForward_ ? rate : -rate;
}

bool Session::StartPlaying(bool forward, bool fast) {
  const bool wasPlaying = playing_;
  // A turn starts afresh: steps gathered the other way are not taken.
  if (!wasPlaying || forward != playForward_) playCarry_ = 0;
  playForward_ = forward;
  playFast_ = fast;
  const bool atEnd = forward ? timePosition_ >= kTimeSliderMax : timePosition_ <= 0;
  playing_ = CatalogueLoaded() && position_ > 0 && !atEnd;
  if (playing_ || wasPlaying) Notify(kPlayChanged);
  return playing_;
}

void Session::StopPlaying() {
  if (!playing_) return;
  playing_ = false;
  playCarry_ = 0;
  Notify(kPlayChanged);
}

bool Session::PlayAdvance(double wallSeconds) {
  if (!playing_ || !(wallSeconds > 0)) return false;
  constexpr double kSecondsPerStep = kTimeSliderHalfRangeHours * 3600 / kTimeSliderCentre;
  playCarry_ += PlayRate() * std::min(wallSeconds, kMaxPlayAdvanceSeconds) / kSecondsPerStep;
  const double steps = std::trunc(playCarry_);
  if (steps == 0) return false;
  playCarry_ -= steps;
  const int from = timePosition_;
  timePosition_ =
      static_cast<int>(std::clamp(timePosition_ + steps, 0.0, static_cast<double>(kTimeSliderMax)));
  const bool moved = timePosition_ != from;
  SessionChanges changes = 0;
  if (moved) {
    ComputeInstant();
    changes |= kInstantChanged;
  }
  // The run ends where the range does.
  if (timePosition_ == (playForward_ ? kTimeSliderMax : 0)) {
    playing_ = false;
    playCarry_ = 0;
    changes |= kPlayChanged;
  }
  if (changes) Notify(changes);
  return moved;
}

OverlayInput Session::Overlay(double k) const {
  OverlayInput in;
  in.record = record_;
  in.state = state_;
  in.julianDay = ut_ ? jdUT_ : jdTT_;
  in.backView = backView_;
  in.showSubSolar = showSubSolar_;
  in.language = language_;
  in.cx = cx_;
  in.cy = cy_;
  in.k = k;
  if (showPoI_) {
    const DiscOffset at = PlaceOnDisc(Orientation(), poiLatitude_, poiLongitude_);
    const double radius = DiscRadiusPixels(zoom_);
    in.showPoI = at.facing;
    in.poiX = cx_ + static_cast<int>(std::lround(at.x * radius));
    in.poiY = cy_ + static_cast<int>(std::lround(at.y * radius));
  }
  return in;
}

}  // namespace umbrivista
