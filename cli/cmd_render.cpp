// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// render: the main window's globe at one instant of an eclipse, written as a PNG picture, or as
// an SVG or PDF with the globe embedded (--title adds the title block under the globe), or at a
// run of instants written as an animation (cmd_render_animation.cpp).

#include <QByteArray>
#include <QGuiApplication>
#include <QImage>

#include <cstdlib>
#include <iostream>
#include <memory>
#include <optional>
#include <stdexcept>
#include <utility>

#include "cli.h"
#include "cli_render.h"
#include "drawing.h"
#include "globe_picture.h"
#include "globe_settings.h"
#include "map_view.h"
#include "picture_sheet.h"
#include "regular_file.h"
#include "safe_file.h"
#include "title_block.h"

namespace umbrivista {

namespace {

int IntOption(Args& args, const std::string& name, int fallback, int lo, int hi) {
  const auto text = args.TakeOption(name);
  return text ? ParseIntArg(*text, "--" + name, lo, hi) : fallback;
}

}  // namespace

int RunRender(Args& args) {
  const auto out = args.TakeOption("out");
  const int width = IntOption(args, "width", 800, 16, 8192);
  const int height = IntOption(args, "height", 800, 16, 8192);
  const int zoom = IntOption(args, "zoom", 140, 60, 350);
  const int texture = IntOption(args, "texture", 0, 0, 3);
  const int grid = IntOption(args, "grid", 2, 0, 6);
  const auto textureFile = args.TakeOption("texture-file");
  const bool ut = args.TakeFlag("ut");
  const bool back = args.TakeFlag("back");
  const bool ssp = args.TakeFlag("ssp");
  const bool noOverlay = args.TakeFlag("no-overlay");
  const bool overlay = args.TakeFlag("overlay") || !noOverlay;
  const bool capitals = args.TakeFlag("capitals");
  const bool night = args.TakeFlag("night");
  const bool limits = !args.TakeFlag("no-limits");
  const bool title = args.TakeFlag("title");
  const Language language = TakeLanguage(args);
  const auto poi = TakeLatLon(args, "poi");
  const auto centre = TakeLatLon(args, "centre");
  const auto mapText = args.TakeOption("map");
  std::optional<MapProjection> map;
  if (mapText) {
    map = ParseMapProjection(*mapText);
    if (!map) throw UsageError("--map takes mercator or flat, not \"" + *mapText + "\"");
  }
  const auto animation = TakeRenderAnimation(args);
  const auto& catalogue = LoadCatalogue(args);
  const int position = ParsePosition(args.TakePositional("POS"), catalogue);
  const double t = animation ? 0
                             : ParseRealArg(args.TakePositional("T"), "T", -kMaxHoursFromT0,
                                            kMaxHoursFromT0, "hours");
  args.ExpectEnd();
  if (!out) {
    throw UsageError(animation ? "render needs --out FILE.mp4|FILE.webm|FILE.gif"
                               : "render needs --out FILE.png (or .svg, .pdf)");
  }
  CheckRenderOutput(*out, animation, width, height);
  if (map && back) throw UsageError("--map shows the day side's map; it cannot go with --back");
  if (map && centre) throw UsageError("--map shows the whole Earth; it cannot go with --centre");
  if (animation && title) throw UsageError("--title is for a single picture, not an animation");
  const std::string texturePath =
      textureFile ? *textureFile : DataFile(kTextureFiles[texture]);
  RefuseOutputOverInput(*out, texturePath, "the texture file");
  RefuseOutputOverInput(*out, CataloguePath(), "the catalogue");
  // The picture reader would wait for ever on a named pipe.
  const std::string textureKind = NonRegularKind(texturePath);
  if (!textureKind.empty()) {
    const std::string problem = texturePath + ": is not a regular file but " + textureKind;
    if (textureFile) throw std::runtime_error(problem);
    std::cerr << "umbrivista-cli: " << problem << "; drawing the plain surface\n";
  }

  const EclipseRecord& record = catalogue.RecordAt(position);
  GlobePictureOptions options;
  options.width = width;
  options.height = height;
  options.zoom = zoom;
  options.grid = grid;
  options.texturePath = textureKind.empty() ? texturePath : std::string();
  options.deltaT = DeltaTFor(record, ut);
  options.back = back;
  options.subSolar = ssp;
  options.overlay = overlay;
  options.capitals = capitals;
  options.limits = limits;
  options.nightSide = night;
  options.language = language;
  options.poi = poi;
  options.centre = centre;
  options.map = map;

  PrepareOffscreenGui();
  QGuiApplication app(OffscreenArgc(), OffscreenArgv());
  auto warn = [](const std::string& problem) {
    std::cerr << "umbrivista-cli: warning: " << problem << "\n";
  };
  std::unique_ptr<GlobePicture> picture;
  try {
    picture = std::make_unique<GlobePicture>(record, options, warn);
  } catch (const std::runtime_error& e) {
    if (textureFile) throw;
    std::cerr << "umbrivista-cli: " << e.what() << "; drawing the plain surface\n";
    options.texturePath.clear();
    picture = std::make_unique<GlobePicture>(record, options, warn);
  }
  if (animation) return RunRenderAnimation(*picture, *animation, *out, centre.has_value());
  QImage image;
  try {
    image = picture->Render(t);
  } catch (const std::runtime_error& e) {
    if (!centre) throw;
    throw std::runtime_error(std::string("--centre ") + e.what());
  }
  std::optional<TitleBlock> block;
  if (title) {
    TitleBlockInput in;
    in.record = record;
    in.t = t;
    in.ut = ut;
    in.deltaT = options.deltaT;
    in.backView = back;
    in.limits = limits;
    in.overlay = overlay;
    in.capitals = capitals;
    in.pointOfInterest = poi.has_value();
    in.language = language;
    block = BuildTitleBlock(in);
  }
  QByteArray bytes;
  try {
    bytes = EncodeGlobeSheet(PictureFormatForPath(*out), image, block ? &*block : nullptr);
  } catch (const std::runtime_error& e) {
    throw std::runtime_error(*out + ": " + e.what());
  }
  WriteFileSafely(*out, std::span(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                  static_cast<std::size_t>(bytes.size())));
  return 0;
}

}  // namespace umbrivista
