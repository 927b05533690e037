// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Shared pieces of the command-line front end: argument access and the catalogue it works on.

#include <initializer_list>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "catalogue.h"
#include "data_files.h"
#include "eclipse_date.h"
#include "language.h"
#include "central_region.h"
#include "path_limits.h"

namespace umbrivista {

// A usage or input error; main prints it to stderr and exits with status 2.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class Args {
 public:
  explicit Args(std::vector<std::string> args) : args_(std::move(args)) {}
  // Removes and returns the value of "--name VALUE"; nullopt when absent.
  std::optional<std::string> TakeOption(const std::string& name);
  // Removes "--name"; true when it was present.
  bool TakeFlag(const std::string& name);
  // Removes and returns the next positional argument; throws UsageError naming `what`.
  std::string TakePositional(const std::string& what);
  // Throws UsageError when anything is left over.
  void ExpectEnd() const;

 private:
  std::vector<std::string> args_;
};

// Input echoed in a message: quoted, cut to 80 characters, control characters replaced.
std::string Echo(const std::string& text);
// A number for a message: whole numbers without decimals.
std::string FormatNumber(double value);

// Numbers given on the command line, checked against the range where their answer means
// something; a UsageError names the range.
int ParseIntArg(const std::string& text, const std::string& what, int lo, int hi);
double ParseRealArg(const std::string& text, const std::string& what, double lo, double hi,
                    const std::string& unit = "");
// "--NAME LAT,LON" as (latitude, longitude) in degrees, or nullopt when the option is absent;
// a UsageError for anything else.
std::optional<std::pair<double, double>> TakeLatLon(Args& args, const char* name);

// The value of an option the command cannot do without; a UsageError "missing --NAME" when absent.
std::string RequiredOption(Args& args, const std::string& name);

// ΔT for the record's instant in UT, 0 for TT.
double DeltaTFor(const EclipseRecord& r, bool ut);

// Map documents (GeoJSON, KML) are statements about places on the real Earth: UT, the Earth
// turned by ΔT, unless --tt asks for the TT frame; the TSV lists keep TT unless --ut. The two
// flags exclude each other. True for UT.
bool TakeMapFrameUt(Args& args, const std::string& format);
// The frame in a document's properties: "time_scale":"UT"|"TT","delta_t_s":69.2 and KML <Data>.
std::string JsonFrameProperties(bool ut, double deltaT);
std::string KmlFrameData(bool ut, double deltaT);
// Map geometry, 6 decimals, longitudes in [−180, 180]: a line split where it crosses the 180°
// meridian (a MultiLineString, in KML a MultiGeometry), polygons as Polygon or MultiPolygon
// ("null" when there are none).
std::string JsonLineGeometry(const std::vector<GeoPoint>& line);
std::string JsonPolygonGeometry(const std::vector<GeoPolygon>& polygons);
std::string KmlLineGeometry(const std::vector<GeoPoint>& line);
std::string KmlPolygonGeometry(const std::vector<GeoPolygon>& polygons);

// Ranges of the command-line numbers (T is limited to ±kMaxHoursFromT0 of the elements).
inline constexpr int kMinHeightM = -500;  // observer height
inline constexpr int kMaxHeightM = 9000;
inline constexpr double kMaxDeltaTSeconds = 1e6;  // given ΔT
inline constexpr int kMaxYear = 99999;            // deltat and find --year

// The folder named by --data-dir ("" when none): the data files are looked for there first.
std::string& DataDirOption();
// The path of a data file through the program's one data-file lookup.
std::string DataFile(const std::string& name);
// The catalogue named by --catalogue, else the one the data-file lookup finds. Throws
// CatalogueError when it cannot be loaded.
const EclipseCatalogue& LoadCatalogue(Args& args);
// The path of the catalogue LoadCatalogue read ("" before).
const std::string& CataloguePath();
// A catalogue position argument, checked against the catalogue.
int ParsePosition(const std::string& text, const EclipseCatalogue& catalogue);

// --format, one of `allowed` (the first is the default); a UsageError names the choices.
std::string TakeFormat(Args& args, std::initializer_list<const char*> allowed);

// --lang de|en|fr; English when absent.
Language TakeLanguage(Args& args);


// Standard output and the standard streams. Prepare…: makes 0, 1 and 2 refer to something (a
// closed one gets /dev/null opened for reading, so that no file the command opens takes its number
// and writes to it still fail) and sends std::cout through a buffer that remembers why a write
// failed. Flush…: writes what is left; false, after one line "umbrivista-cli: cannot write the
// output: REASON" on stderr (said once), when any output could not be written.
void PrepareStandardStreams();
bool FlushStandardOutput();

// Throws UsageError when `out` names the same file as `input` (also through a symbolic link or
// another hard link): writing the output would destroy an input of the command. `what` names
// the input ("the places file").
void RefuseOutputOverInput(const std::string& out, const std::string& input,
                           const std::string& what);

// What `COMMAND --help` prints; nullptr for an unknown command.
const char* CommandHelp(const std::string& command);

// Commands; each returns the exit status.
int RunCatalogue(Args& args);
int RunDeltaT(Args& args);
int RunElements(Args& args);
int RunCentreLine(Args& args);
int RunLocal(Args& args);
int RunLimits(Args& args);
int RunPathTable(Args& args);
int RunCityList(Args& args);
int RunPlaceHistory(Args& args);
int RunSearch(Args& args);

// The commands a program answers, by name.
using CommandTable = std::map<std::string, int (*)(Args&)>;
// The whole command line of umbrivista-cli over `commands`: usage and --version, COMMAND --help,
// the command's run, its errors on stderr ("umbrivista-cli: …", status 2 for a usage error, 1
// for others) and the check that the output was written. Returns the exit status.
int RunCommandLine(int argc, char** argv, const CommandTable& commands);

}  // namespace umbrivista
