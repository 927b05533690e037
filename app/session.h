// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the user is looking at in the main window, without any widget: the chosen eclipse, the
// instant on the time slider, TT or UT with its ΔT, the normal or back view, the globe's choices
// and frame, the single point of interest and the language. Every change is checked (clamped or
// refused), everything that follows from it is worked out once, and the observers are told what
// changed; the windows only draw what the session holds and turn the user's actions into calls.

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "catalogue.h"
#include "globe_settings.h"
#include "info_panel.h"
#include "language.h"
#include "map_view.h"
#include "navigation.h"
#include "overlay.h"
#include "place_zones.h"
#include "settings_record.h"
#include "shadow.h"

namespace umbrivista {

// What one change touched. Several can come together.
enum SessionChange : unsigned {
  kEclipseChanged = 1u << 0,    // position and record: the year and Saros boxes and caption
                                // (the year box and its list also follow the time scale)
  kTimeScaleChanged = 1u << 1,  // TT/UT and the ΔT in use
  kInstantChanged = 1u << 2,    // slider, date line, element grid, orientation, distances
  kPathChanged = 1u << 3,       // the centre line and the path limits are to be drawn afresh
  kViewChanged = 1u << 4,       // normal or back view
  kLimitsChanged = 1u << 5,     // the path limits shown or not
  kCapitalsChanged = 1u << 6,   // the capitals shown or not
  kSubSolarChanged = 1u << 7,   // the sub-solar marker shown or not
  kTextureChanged = 1u << 8,
  kGridChanged = 1u << 9,
  kPointChanged = 1u << 10,     // the point of interest moved, or shown or hidden
  kLanguageChanged = 1u << 11,
  kFrameChanged = 1u << 12,     // zoom or the globe's centre on the screen
  kPlayChanged = 1u << 13,      // an animation run began, turned or ended, or the speed changed
  kHintsChanged = 1u << 14,     // the hints beside the year and time boxes
  kBandChanged = 1u << 15,      // the ΔT uncertainty band shown or not
  kNightChanged = 1u << 16,     // the night side shaded or not
};
using SessionChanges = unsigned;

// The play speeds: seconds of eclipse time per second of wall time. The fast buttons run
// kFastPlayFactor times the chosen speed.
inline constexpr std::array<double, kPlaySpeedCount> kPlaySpeeds = {1, 60, 300, 1200};
inline constexpr double kFastPlayFactor = 6;
// The most wall time one advance counts: after a stall (a suspended machine, a blocked event
// loop) the run goes on from where it was instead of leaping.
inline constexpr double kMaxPlayAdvanceSeconds = 1;

class SessionObserver {
 public:
  virtual void SessionChanged(SessionChanges changes) = 0;

 protected:
  ~SessionObserver() = default;
};

class Session {
 public:
  explicit Session(std::string version = {});

  // Observers are told after every change, in the order they subscribed.
  void Subscribe(SessionObserver* observer);
  void Unsubscribe(SessionObserver* observer);

  // --- Civil time ------------------------------------------------------------------------------
  // Where the point's zone and the zones' offsets come from: the zone file (read when the point is
  // first shown) and the offsets' source. Without them the point's lines have no civil time.
  void SetCivilTimeSource(std::string zonesPath, CivilOffsetFn offsets);
  // What went wrong reading the zone file ("" when nothing did).
  const std::string& ZonesProblem() const { return zonesProblem_; }

  // --- The catalogue ---------------------------------------------------------------------------
  // Loads the catalogue file; "" when it can be used, else what is wrong with it. Without a
  // catalogue every eclipse and instant change is refused.
  std::string LoadCatalogue(const std::string& path);
  const EclipseCatalogue& Catalogue() const { return catalogue_; }
  bool CatalogueLoaded() const { return !catalogue_.Empty(); }

  // --- Start and end ---------------------------------------------------------------------------
  // The saved choices; the eclipse and the instant follow with Start().
  void ApplySettings(const SettingsRecord& settings);
  // The saved eclipse (a full eclipse change) and then the saved instant.
  void Start();
  // The session's part of the settings record.
  void CollectSettings(SettingsRecord& settings) const;

  // --- The eclipse -----------------------------------------------------------------------------
  // Position 1 … RecordCount(), clamped. An unchanged position does nothing unless `again`: then
  // the eclipse change runs once more (the instant goes back to the estimated maximum).
  void SelectPosition(int position, bool again = false);
  // Enter in the year box: a year, "YYYY-MM" or "YYYY-MM-DD" chooses the first eclipse whose
  // greatest eclipse (in the shown time scale) falls then or later; false for any other text:
  // nothing changes but the hint beside the box (YearHint).
  bool EnterYear(std::string_view text);
  // Enter in the Saros box: a text that is not a number counts as 139; a series without a member
  // in the catalogue changes nothing. Both give true when the box is to show SarosText() or
  // YearText() afterwards.
  bool EnterSaros(std::string_view text);
  // One or three members further along the series (later when `forward`); nothing at either end.
  void StepSeries(bool forward, int members);

  int Position() const { return position_; }
  const EclipseRecord& Record() const { return record_; }
  // What the year and Saros boxes show ("" before an eclipse is chosen): the year of greatest
  // eclipse in the shown scale, or the date when one was typed.
  std::string YearText() const;
  // The hint beside the year box after a text it could not use; "" otherwise.
  const std::string& YearHint() const { return yearHint_; }
  // The eclipses of the shown eclipse's year (of greatest eclipse, in the shown scale), for the
  // list beside the year box.
  const std::vector<YearEclipse>& YearEclipses() const { return yearEclipses_; }
  std::string SarosText() const;
  std::string SarosCaptionText() const;

  // --- The instant -----------------------------------------------------------------------------
  // Time slider position 0 … 12600, clamped.
  void SetTimePosition(int position);
  // Enter in the time box: "HH:MM[:SS]" in the shown scale moves the instant there; false for
  // another text or a time the slider's range does not hold (the hint says so: TimeHint).
  bool EnterTime(std::string_view text);
  const std::string& TimeHint() const { return timeHint_; }
  // The instant's time of day in the shown scale, "HH:MM:SS" ("" before an eclipse is chosen).
  std::string TimeText() const;
  int TimePosition() const { return timePosition_; }
  double TimeOffset() const { return t_; }
  void SetUt(bool ut);
  bool Ut() const { return ut_; }
  double DeltaTInUse() const { return deltaTInUse_; }
  double JulianDayTT() const { return jdTT_; }
  double JulianDayUT() const { return jdUT_; }
  const ShadowState& State() const { return state_; }
  const InstantResult& Instant() const { return instant_; }
  const InfoRows& Rows() const { return rows_; }
  std::string DeltaTCaptionText() const;
  std::string DateTimeText() const;
  std::string TypeText() const;
  std::string CaptionBaseText() const;
  // The caption base, with the date/time line and the type name once an eclipse is shown.
  std::string WindowTitle() const;
  GlobeRotation Orientation() const;
  // The sub-solar point of the instant as a rotation (latitude x, longitude y), in either view.
  GlobeRotation SunPosition() const;
  // How often the instant (elements, axis point, grid) has been worked out: once per change.
  int InstantComputations() const { return instantComputations_; }

  // --- The view and the globe's choices --------------------------------------------------------
  // The back view; switching runs the eclipse change again.
  void SetBackView(bool back);
  bool BackView() const { return backView_; }
  // The map view: the whole Earth on a map in place of the globe (kViewChanged; kept for the
  // session only). The map view and the back view exclude each other: choosing one leaves the
  // other, and leaving the back view runs the eclipse change again as SetBackView does.
  void SetMapView(bool map);
  bool MapView() const { return mapView_; }
  void SetMapProjection(MapProjection projection);
  MapProjection GetMapProjection() const { return mapProjection_; }
  // The map's central meridian for the shown eclipse (MapCentralMeridian); 0 before one is chosen.
  double MapCentre() const;
  // The markers of the map view at the shown instant.
  MapOverlayInput MapOverlay() const;
  void SetShowLimits(bool shown);
  bool ShowLimits() const { return showLimits_; }
  // The band where the central path lies for ΔT ± 2σ (on by default, not kept in the settings).
  void SetShowDeltaTBand(bool shown);
  bool ShowDeltaTBand() const { return showDeltaTBand_; }
  // The ΔT range of that band when it is drawn: shown, in UT (the real Earth: the TT frame has
  // no ΔT to be unsure of) and for an eclipse whose σ(ΔT) moves the path visibly (at least
  // kMinBandSigma seconds, a few kilometres).
  std::optional<std::pair<double, double>> DeltaTBandRange() const;
  static constexpr double kMinBandSigma = 5;
  void SetShowCapitals(bool shown);
  bool ShowCapitals() const { return showCapitals_; }
  // The night side shaded on the globe (on by default, kept in the settings).
  void SetShowNightSide(bool shown);
  bool ShowNightSide() const { return showNightSide_; }
  void SetShowSubSolar(bool shown);
  bool ShowSubSolar() const { return showSubSolar_; }
  std::string SubSolarCaptionText() const;
  // Index into the texture and grid lists, clamped.
  void SetTextureIndex(int index);
  int TextureIndex() const { return textureIndex_; }
  void SetGridIndex(int index);
  int GridIndex() const { return gridIndex_; }

  // --- The globe's frame: zoom and its centre on the screen -------------------------------------
  // Zoom position 60 … 350 (larger positions give a smaller globe), clamped.
  void SetZoom(int position);
  int Zoom() const { return zoom_; }
  // Drags the globe by (dx, dy) pixels; the drag stops where less than a quarter of the disc
  // would stay in the panel (KeepDiscInReach).
  void MoveGlobe(int dx, int dy);
  // Zoom position as SetZoom, about the panel point (x, y): the globe point under it stays there
  // (within half a pixel), as far as the disc stays within reach.
  void ZoomAt(int position, int x, int y);
  // Moves the globe so that the point of interest lies at the panel's centre. False, and nothing
  // moves, while the point is on the far side of the globe or the panel has no size yet.
  bool CentreOnPoI();
  // Centres the globe in a panel of that size.
  void CentreGlobe(int width, int height);
  // Centres it at the reset zoom.
  void ResetGlobe(int width, int height);
  // The reset zoom or, where the whole globe would not fit the panel at that, a smaller globe.
  void FitGlobe(int width, int height);
  // The panel changed size: a globe centred in it stays centred, else it keeps its place.
  void PanelResized(int width, int height);
  int CentreX() const { return cx_; }
  int CentreY() const { return cy_; }

  // --- The point of interest -------------------------------------------------------------------
  // The texts typed into the coordinate boxes (unsigned degrees): trimmed, and emptied when not
  // a "." number within 0 … 90 (180); an empty box counts as 0. Typing or switching a
  // hemisphere moves the point and shows it.
  void SetPoILatitudeText(std::string_view text);
  void SetPoILongitudeText(std::string_view text);
  void SetPoISouth(bool south);
  void SetPoIWest(bool west);
  // The point where the user pointed (degrees, north and east positive), shown.
  void PlacePoI(double latitude, double longitude);
  void SetShowPoI(bool shown);
  bool ShowPoI() const { return showPoI_; }
  double PoILatitude() const { return poiLatitude_; }
  double PoILongitude() const { return poiLongitude_; }
  const std::string& PoILatitudeText() const { return poiLatitudeText_; }
  const std::string& PoILongitudeText() const { return poiLongitudeText_; }
  bool PoINorth() const { return poiNorth_; }
  bool PoISouth() const { return poiSouth_; }
  bool PoIEast() const { return poiEast_; }
  bool PoIWest() const { return poiWest_; }
  // The two distance labels at the bottom of the window.
  std::pair<std::string, std::string> PoIDistanceTexts() const;
  // What the point sees of the eclipse, a line each; empty while the point is not shown.
  const std::vector<std::string>& PoILines() const { return poiLines_; }

  // --- Language --------------------------------------------------------------------------------
  void SetLanguage(Language language);
  Language GetLanguage() const { return language_; }

  // --- Animation -------------------------------------------------------------------------------
  // The chosen speed, an index into kPlaySpeeds (clamped); a run under way goes on at it.
  void SetPlaySpeedIndex(int index);
  int PlaySpeedIndex() const { return playSpeedIndex_; }
  // Starts a run forwards or backwards at the chosen speed (`fast`: kFastPlayFactor times it), or
  // turns the run under way. A run does not begin at the end it would run towards (one under way
  // there ends). True while a run is under way afterwards.
  bool StartPlaying(bool forward, bool fast = false);
  // Moves the instant on by the run's speed × `wallSeconds` (at most kMaxPlayAdvanceSeconds; a
  // value that is not a positive number counts as none) of eclipse time. The part of a slider
  // step left over is kept for the next call, so that many short advances come to the same
  // instant as one long one. The run ends at either end of the ±3.5 h range. True when the
  // slider moved.
  bool PlayAdvance(double wallSeconds);
  void StopPlaying();
  bool Playing() const { return playing_; }
  // Eclipse seconds per second of the run under way: negative backwards, 0 without a run.
  double PlayRate() const;

  // What the overlay draws for the shown instant, at the session's globe centre and `k` pixels
  // per Earth radius (the scale the globe really took).
  OverlayInput Overlay(double k) const;

 private:
  void Notify(SessionChanges changes);
  // The eclipse at position_ takes over: record, estimated maximum, time scale and instant.
  void EclipseChange(SessionChanges also);
  // Empties both hints; kHintsChanged when either held text.
  SessionChanges ClearHints();
  void ComputeYearEclipses();
  // The ΔT of the time scale, then the instant.
  void ApplyTimeScale();
  void ComputeInstant();
  void ComputePoILines();
  // The signed position from the kept box texts and hemispheres.
  void PlacePoIFromTexts();
  // The point moved (or its texts changed): shown, with its distances and lines afresh.
  void MovePoI();

  std::vector<SessionObserver*> observers_;
  std::string version_;
  EclipseCatalogue catalogue_;
  Language language_ = kDefaultLanguage;

  int position_ = 0;
  EclipseRecord record_;
  int savedPosition_ = 0;
  int savedTimePosition_ = 0;
  int timePosition_ = 0;
  double t_ = 0;
  bool ut_ = false;
  double deltaTInUse_ = 0;
  double jdTT_ = 0;
  double jdUT_ = 0;
  ShadowState state_;
  InstantResult instant_;
  InfoRows rows_;
  int instantComputations_ = 0;

  bool backView_ = false;
  bool mapView_ = false;
  MapProjection mapProjection_ = MapProjection::kMercator;
  bool showLimits_ = true;
  bool showDeltaTBand_ = true;
  bool showCapitals_ = false;
  bool showSubSolar_ = false;
  bool showNightSide_ = true;
  int textureIndex_ = 0;
  int gridIndex_ = 0;
  int zoom_ = 140;
  int cx_ = 222;
  int cy_ = 222;
  int panelWidth_ = -1;  // the panel's size at the last resize; -1 before the first
  int panelHeight_ = -1;

  bool showPoI_ = false;
  double poiLatitude_ = 0;   // from the texts and hemispheres (PlacePoIFromTexts)
  double poiLongitude_ = 0;
  std::string poiLatitudeText_;
  std::string poiLongitudeText_;
  bool poiNorth_ = true, poiSouth_ = false, poiEast_ = true, poiWest_ = false;
  PoIDistances poiDistances_;
  std::vector<std::string> poiLines_;

  std::string zonesPath_;
  CivilOffsetFn civilOffsets_;
  std::optional<PlaceZones> zones_;
  std::string zonesProblem_;
  std::string yearBoxText_;  // the date typed last, shown until another eclipse is chosen
  std::string yearHint_, timeHint_;
  std::vector<YearEclipse> yearEclipses_;
  bool playing_ = false;
  bool playForward_ = true;
  bool playFast_ = false;
  int playSpeedIndex_ = kDefaultPlaySpeedIndex;
  double playCarry_ = 0;  // slider steps not yet taken, with the run's sign
};

}  // namespace umbrivista
