#pragma once
// What the program remembers between runs, as the three windows read it at start-up. The file
// that keeps it comes later; until then every run starts from these defaults.

#include <string>

namespace umbrivista {

struct SettingsRecord {
  std::string version;
  // Main window.
  int mainState = 0;  // 0 normal, 1 minimised, 2 maximised
  int mainTop = 169, mainLeft = 232, mainHeight = 773, mainWidth = 1024;
  int language = 0;
  int eclipsePosition = 16690;
  bool ut = false;
  int textureIndex = 0;
  int gridIndex = 2;
  std::string poiLatitude = "47.5";
  bool poiNorth = true, poiSouth = false;
  std::string poiLongitude = "7.53";
  bool poiEast = true, poiWest = false;
  bool showPoI = false, showSubSolar = false, showCapitals = false;
  int timePosition = 6300;
  int zoomPosition = 140;
  int originX = 222, originY = 222;
  // Place-history window.
  int historyTop = 155, historyLeft = 0, historyHeight = 773, historyWidth = 1222;
  int historyState = 0;
  std::string placeName, placeLatitude, placeLongitude, placeHeight;
  bool placeNorth = false, placeSouth = false, placeWest = false, placeEast = false;
  int firstYearIndex = 0, lastYearIndex = 0;
  // City-list window.
  int listTop = 155, listLeft = 67, listHeight = 773, listWidth = 1222;
  int listState = 0;
  int populationIndex = 0;
};

}  // namespace umbrivista
