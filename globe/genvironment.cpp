// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include "genvironment.h"

#include <QFile>
#include <QFileInfo>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <optional>
#include <span>
#include <strings.h>
#include <vector>

#include "gcustomglobe.h"
#include "safe_file.h"

namespace umbrivista {

namespace {

constexpr const char* kRootName = "GlobeEnvironment";
constexpr qint64 kMaxFileBytes = 64ll << 20;
constexpr int kMaxDepth = 64;

// ------------------------------------------------------------------------------------------
// Writing

QString Real(long double v) {
  char buf[64];
  const auto r = std::to_chars(buf, buf + sizeof buf, v);
  return QString::fromLatin1(buf, static_cast<int>(r.ptr - buf));
}

QString Colour(TColor c) {
  return QStringLiteral("0x") + QString::number(c, 16).toUpper().rightJustified(6, QLatin1Char('0'));
}

QString Bool(bool b) {
  return b ? QStringLiteral("true") : QStringLiteral("false");
}

void WritePen(QXmlStreamWriter& w, const char* name, const TGPen& pen) {
  w.writeEmptyElement(name);
  w.writeAttribute("Color", Colour(pen.Color()));
  w.writeAttribute("Style", QString::number(pen.Style()));
  w.writeAttribute("Width", QString::number(pen.Width()));
  w.writeAttribute("WidthUnit", QString::number(pen.WidthUnit()));
}

void WriteBrush(QXmlStreamWriter& w, const char* name, const TGBrush& brush) {
  w.writeEmptyElement(name);
  w.writeAttribute("BkColor", Colour(brush.BkColor()));
  w.writeAttribute("Color", Colour(brush.Color()));
  w.writeAttribute("Style", QString::number(brush.Style()));
}

void WriteFont(QXmlStreamWriter& w, const char* name, const TGFont& font) {
  w.writeEmptyElement(name);
  w.writeAttribute("Angle", QString::number(font.Angle()));
  w.writeAttribute("Color", Colour(font.Color()));
  w.writeAttribute("BkColor", Colour(font.BkColor()));
  w.writeAttribute("BkAlphaBlend", QString::number(font.BkAlphaBlend()));
  w.writeAttribute("Name", QString::fromStdString(font.Name()));
  w.writeAttribute("Size", QString::number(font.Size()));
  w.writeAttribute("Style", QString::number(font.Style()));
  w.writeAttribute("SizeUnit", QString::number(font.SizeUnit()));
}

void WritePresenter(QXmlStreamWriter& w, const TGPresenter& p) {
  w.writeStartElement("Presenter");
  w.writeAttribute("Class", p.ClassName());
  w.writeAttribute("AlphaBlend", QString::number(p.AlphaBlend));
  w.writeAttribute("Hidden", Bool(p.Hidden));
  w.writeAttribute("Name", QString::fromStdString(p.Name));
  w.writeAttribute("PresenterID", QString::number(p.PresenterID));
  w.writeAttribute("NextPresenterID", QString::number(p.NextPresenterID));
  w.writeAttribute("TitleAlignment", QString::number(p.TitleAlignment));
  w.writeAttribute("TitleColumn", QString::number(p.TitleColumn));
  w.writeAttribute("TitleOffset", QString::number(p.TitleOffset));
  w.writeAttribute("TitleOffsetUnits", QString::number(p.TitleOffsetUnits));
  w.writeAttribute("TitleZoomMax", QString::number(p.TitleZoomMax));
  w.writeAttribute("TitleZoomMin", QString::number(p.TitleZoomMin));
  w.writeAttribute("TitleZoomUnits", QString::number(p.TitleZoomUnits));
  if (auto* pt = dynamic_cast<const TGPointPresenter*>(&p)) {
    w.writeAttribute("OverrideColumn", QString::number(pt->OverrideColumn));
    w.writeAttribute("PointType", QString::number(pt->PointType));
    w.writeAttribute("PointUnit", QString::number(pt->PointUnit));
    w.writeAttribute("PointSize", QString::number(pt->PointSize));
    w.writeAttribute("SymbolIndex", QString::number(pt->SymbolIndex));
    w.writeAttribute("MaxPointSize", QString::number(pt->MaxPointSize));
    w.writeAttribute("ImageName", QString::fromStdString(pt->ImageName()));
    WritePen(w, "PointPen", pt->PointPen);
    WriteBrush(w, "PointBrush", pt->PointBrush);
    WriteFont(w, "PointFont", pt->PointFont);
  } else if (auto* poly = dynamic_cast<const TGPolyPresenter*>(&p)) {
    w.writeAttribute("PolyRenderMode", QString::number(poly->PolyRenderMode));
    WritePen(w, "PolyPen", poly->PolyPen);
    WriteBrush(w, "PolyBrush", poly->PolyBrush);
  } else if (auto* road = dynamic_cast<const TGRoadPresenter*>(&p)) {
    w.writeAttribute("EdgeColor", Colour(road->EdgeColor));
    w.writeAttribute("EdgePixels", QString::number(road->EdgePixels));
    WritePen(w, "RoadPen", road->RoadPen);
  }
  WriteFont(w, "TitleFont", p.TitleFont);
  w.writeEndElement();
}

void WritePresenters(QXmlStreamWriter& w, TGPresenterStore& store) {
  w.writeStartElement("Presenters");
  for (int i = 0; i < store.Count(); ++i) WritePresenter(w, store.At(i));
  w.writeEndElement();
}

void WriteLayerStore(QXmlStreamWriter& w, TGLayerStore& store) {
  w.writeStartElement("LayerStore");
  for (int i = 0; i < store.Count(); ++i) {
    TGLayer& l = store.GetLayer(i);
    w.writeStartElement("Layer");
    w.writeAttribute("Name", QString::fromStdString(l.Name()));
    w.writeAttribute("AlphaBlend", QString::number(l.AlphaBlend));
    w.writeAttribute("Enabled", Bool(l.Enabled));
    w.writeAttribute("NoInterrupt", Bool(l.NoInterrupt));
    w.writeAttribute("Selectable", Bool(l.Selectable));
    w.writeAttribute("ShowTitles", Bool(l.ShowTitles));
    w.writeAttribute("Visible", Bool(l.Visible));
    w.writeAttribute("RenderAllObjects", Bool(l.RenderAllObjects));
    w.writeAttribute("TitleColumn", QString::number(l.TitleColumn));
    w.writeAttribute("TitleColumnName", QString::fromStdString(l.TitleColumnName));
    w.writeAttribute("ZoomMax", QString::number(l.ZoomMax));
    w.writeAttribute("ZoomMin", QString::number(l.ZoomMin));
    w.writeAttribute("ZoomUnits", QString::number(l.ZoomUnits));
    w.writeAttribute("SurfaceImageName", QString::fromStdString(l.SurfaceImageName()));
    w.writeAttribute("SurfaceAlpha", QString::number(l.SurfaceAlpha));
    w.writeAttribute("SurfaceTransparentColor", Colour(l.SurfaceTransparentColor));
    WritePresenters(w, l.Presenters());
    WriteLayerStore(w, l.Layers());
    w.writeEndElement();
  }
  w.writeEndElement();
}

// ------------------------------------------------------------------------------------------
// Reading: the document is first read into a tree, checked and turned into plain values; only
// then is anything applied.

struct Node {
  QString name;
  qint64 line = 0;
  QXmlStreamAttributes attributes;
  std::vector<Node> children;

  const Node* Child(const char* n) const {
    for (const Node& c : children)
      if (c.name == QLatin1String(n)) return &c;
    return nullptr;
  }
};

class Reader {
 public:
  explicit Reader(std::string file) : file_(std::move(file)) {}

  // Line 0: the file as a whole.
  [[noreturn]] void Fail(qint64 line, const QString& reason) const {
    throw TGEnvironmentError(file_ + ":" + (line > 0 ? std::to_string(line) + ":" : "") + " " +
                             reason.toStdString());
  }
  [[noreturn]] void Fail(const Node& n, const char* key, const QString& reason) const {
    Fail(n.line, QStringLiteral("%1 %2: %3").arg(n.name, QLatin1String(key), reason));
  }

  Node Parse(const QByteArray& bytes) {
    QXmlStreamReader xml(bytes);
    std::vector<Node> stack;
    std::optional<Node> root;
    while (!xml.atEnd()) {
      const auto token = xml.readNext();
      if (token == QXmlStreamReader::StartElement) {
        if (root) Fail(xml.lineNumber(), QStringLiteral("content after the root element"));
        if (stack.empty() && xml.name() != QLatin1String(kRootName))
          Fail(xml.lineNumber(), QStringLiteral("not a globe environment file (root element %1)")
                                     .arg(xml.name().toString()));
        if (static_cast<int>(stack.size()) >= kMaxDepth)
          Fail(xml.lineNumber(), QStringLiteral("elements nested too deeply"));
        stack.push_back({xml.name().toString(), xml.lineNumber(), xml.attributes(), {}});
      } else if (token == QXmlStreamReader::EndElement) {
        Node done = std::move(stack.back());
        stack.pop_back();
        if (stack.empty()) {
          root = std::move(done);
        } else {
          stack.back().children.push_back(std::move(done));
        }
      } else if (token == QXmlStreamReader::DTD) {
        Fail(xml.lineNumber(), QStringLiteral("document type declarations are not accepted"));
      }
    }
    if (xml.hasError()) Fail(xml.lineNumber(), xml.errorString());
    if (!root) Fail(xml.lineNumber(), QStringLiteral("no root element"));
    return std::move(*root);
  }

  // Values of attributes; a missing one gives the default.
  QString Text(const Node& n, const char* key, const QString& def = {}) const {
    return n.attributes.hasAttribute(QLatin1String(key))
               ? n.attributes.value(QLatin1String(key)).toString()
               : def;
  }
  std::int64_t Int(const Node& n, const char* key, std::int64_t def, std::int64_t lo,
                   std::int64_t hi) const {
    if (!n.attributes.hasAttribute(QLatin1String(key))) return def;
    const QString s = n.attributes.value(QLatin1String(key)).toString().trimmed();
    bool ok = false;
    const qlonglong v = s.toLongLong(&ok);
    if (!ok) Fail(n, key, QStringLiteral("not a whole number: \"%1\"").arg(s.left(40)));
    if (v < lo || v > hi)
      Fail(n, key, QStringLiteral("%1 is outside %2 … %3").arg(v).arg(lo).arg(hi));
    return v;
  }
  long double RealValue(const Node& n, const char* key, long double def, long double lo,
                        long double hi) const {
    if (!n.attributes.hasAttribute(QLatin1String(key))) return def;
    const QByteArray s = n.attributes.value(QLatin1String(key)).toString().trimmed().toUtf8();
    long double v = 0;
    const auto r = std::from_chars(s.constData(), s.constData() + s.size(), v);
    if (r.ec != std::errc() || r.ptr != s.constData() + s.size() || !std::isfinite(v))
      Fail(n, key, QStringLiteral("not a number: \"%1\"").arg(QString::fromUtf8(s.left(40))));
    if (v < lo || v > hi)
      Fail(n, key,
           QStringLiteral("%1 is outside %2 … %3").arg(Real(v), Real(lo), Real(hi)));
    return v;
  }
  bool Flag(const Node& n, const char* key, bool def) const {
    if (!n.attributes.hasAttribute(QLatin1String(key))) return def;
    const QString s = n.attributes.value(QLatin1String(key)).toString().trimmed().toLower();
    if (s == "true" || s == "1") return true;
    if (s == "false" || s == "0") return false;
    Fail(n, key, QStringLiteral("not true or false: \"%1\"").arg(s.left(40)));
  }
  TColor Colour(const Node& n, const char* key, TColor def) const {
    if (!n.attributes.hasAttribute(QLatin1String(key))) return def;
    const QString s = n.attributes.value(QLatin1String(key)).toString().trimmed();
    bool ok = false;
    const qulonglong v = s.toULongLong(&ok, 0);
    if (!ok) Fail(n, key, QStringLiteral("not a colour: \"%1\"").arg(s.left(40)));
    if (v > 0xFFFFFF && v != clNone)
      Fail(n, key, QStringLiteral("colour %1 is not 0xBBGGRR").arg(s));
    return static_cast<TColor>(v);
  }
  TGUnitTypes Unit(const Node& n, const char* key, TGUnitTypes def) const {
    return static_cast<TGUnitTypes>(Int(n, key, def, 0, guPixel));
  }

  TGPen Pen(const Node* n, const TGPen& def) const {
    if (!n) return def;
    return TGPen(Colour(*n, "Color", def.Color()),
                 static_cast<TGPenStyle>(Int(*n, "Style", def.Style(), 0, gpsInsideFrame)),
                 static_cast<std::int32_t>(Int(*n, "Width", def.Width(), 0, 10000)),
                 Unit(*n, "WidthUnit", def.WidthUnit()));
  }
  TGBrush Brush(const Node* n, const TGBrush& def) const {
    if (!n) return def;
    return TGBrush(Colour(*n, "BkColor", def.BkColor()), Colour(*n, "Color", def.Color()),
                   static_cast<std::uint8_t>(Int(*n, "Style", def.Style(), 0, 57)));
  }
  void Font(const Node* n, TGFont& f) const {
    if (!n) return;
    f.SetAngle(static_cast<std::int32_t>(Int(*n, "Angle", f.Angle(), -3600, 3600)));
    f.SetColor(Colour(*n, "Color", f.Color()));
    f.SetBkColor(Colour(*n, "BkColor", f.BkColor()));
    f.SetBkAlphaBlend(static_cast<std::uint8_t>(Int(*n, "BkAlphaBlend", f.BkAlphaBlend(), 0, 255)));
    f.SetName(Text(*n, "Name", QString::fromStdString(f.Name())).toStdString());
    f.SetSize(static_cast<std::int32_t>(Int(*n, "Size", f.Size(), 0, 10000)));
    f.SetStyle(static_cast<std::uint8_t>(Int(*n, "Style", f.Style(), 0, 63)));
    f.SetSizeUnit(Unit(*n, "SizeUnit", f.SizeUnit()));
  }

  std::unique_ptr<TGPresenter> Presenter(const Node& n) const {
    const QString cls = Text(n, "Class");
    std::unique_ptr<TGPresenter> p;
    if (cls == "TGPointPresenter") {
      auto pt = std::make_unique<TGPointPresenter>();
      pt->OverrideColumn = static_cast<std::int32_t>(Int(n, "OverrideColumn", -1, -1, 1000000));
      pt->PointType = static_cast<TGPointType>(Int(n, "PointType", pt->PointType, 0, ppTriangleRight));
      pt->PointUnit = Unit(n, "PointUnit", pt->PointUnit);
      pt->PointSize = static_cast<std::int32_t>(Int(n, "PointSize", pt->PointSize, 0, 1000000));
      pt->SymbolIndex = static_cast<std::int32_t>(Int(n, "SymbolIndex", 0, 0, 0xFFFF));
      pt->MaxPointSize = static_cast<std::int32_t>(Int(n, "MaxPointSize", 0, 0, 1000000));
      pt->PointPen = Pen(n.Child("PointPen"), pt->PointPen);
      pt->PointBrush = Brush(n.Child("PointBrush"), pt->PointBrush);
      Font(n.Child("PointFont"), pt->PointFont);
      const QString image = Text(n, "ImageName");
      if (!image.isEmpty()) pt->SetImageName(image.toStdString());
      p = std::move(pt);
    } else if (cls == "TGPolyPresenter" || cls == "TGPolygonPresenter" ||
               cls == "TGPolylinePresenter") {
      std::unique_ptr<TGPolyPresenter> poly;
      if (cls == "TGPolygonPresenter") {
        poly = std::make_unique<TGPolygonPresenter>();
      } else if (cls == "TGPolylinePresenter") {
        poly = std::make_unique<TGPolylinePresenter>();
      } else {
        poly = std::make_unique<TGPolyPresenter>();
      }
      poly->PolyRenderMode =
          static_cast<TGPolyRenderMode>(Int(n, "PolyRenderMode", prmNormal, 0, prmOpen));
      poly->PolyPen = Pen(n.Child("PolyPen"), poly->PolyPen);
      poly->PolyBrush = Brush(n.Child("PolyBrush"), poly->PolyBrush);
      p = std::move(poly);
    } else if (cls == "TGRoadPresenter") {
      auto road = std::make_unique<TGRoadPresenter>();
      road->EdgeColor = Colour(n, "EdgeColor", road->EdgeColor);
      road->EdgePixels = static_cast<std::int32_t>(Int(n, "EdgePixels", road->EdgePixels, 0, 1000));
      road->RoadPen = Pen(n.Child("RoadPen"), road->RoadPen);
      p = std::move(road);
    } else {
      Fail(n, "Class", QStringLiteral("unknown presenter class \"%1\"").arg(cls.left(60)));
    }
    p->AlphaBlend = static_cast<std::uint8_t>(Int(n, "AlphaBlend", 255, 0, 255));
    p->Hidden = Flag(n, "Hidden", false);
    p->Name = Text(n, "Name", QString::fromStdString(p->Name)).toStdString();
    constexpr std::int64_t kMin = std::numeric_limits<std::int32_t>::min();
    constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
    p->PresenterID = static_cast<std::int32_t>(Int(n, "PresenterID", 0, kMin, kMax));
    p->NextPresenterID = static_cast<std::int32_t>(Int(n, "NextPresenterID", 0, kMin, kMax));
    p->TitleAlignment =
        static_cast<TGTitleAlignment>(Int(n, "TitleAlignment", taNone, 0, taBottomRight));
    p->TitleColumn = static_cast<std::int32_t>(Int(n, "TitleColumn", 0, 0, 1000000));
    p->TitleOffset = static_cast<std::int32_t>(Int(n, "TitleOffset", 0, -1000000, 1000000));
    p->TitleOffsetUnits = Unit(n, "TitleOffsetUnits", guPixel);
    p->TitleZoomMax = static_cast<std::uint32_t>(Int(n, "TitleZoomMax", 0, 0, 0xFFFFFFFFll));
    p->TitleZoomMin = static_cast<std::uint32_t>(Int(n, "TitleZoomMin", 0, 0, 0xFFFFFFFFll));
    p->TitleZoomUnits = Unit(n, "TitleZoomUnits", guKilometer);
    Font(n.Child("TitleFont"), p->TitleFont);
    return p;
  }

  // The presenters of a Presenters element; nullopt when there is none.
  std::optional<std::vector<std::unique_ptr<TGPresenter>>> Presenters(const Node* n) const {
    if (!n) return std::nullopt;
    std::vector<std::unique_ptr<TGPresenter>> list;
    for (const Node& c : n->children)
      if (c.name == QLatin1String("Presenter")) list.push_back(Presenter(c));
    return list;
  }

  struct LayerValues {
    std::string name;
    std::uint8_t alphaBlend = 255;
    bool enabled = true, noInterrupt = false, selectable = true, showTitles = true, visible = true,
         renderAll = false;
    std::int32_t titleColumn = 0;
    std::string titleColumnName;
    std::uint32_t zoomMax = 0, zoomMin = 0;
    TGUnitTypes zoomUnits = guKilometer;
    std::string surfaceImage;
    std::uint8_t surfaceAlpha = 255;
    TColor surfaceTransparent = clNone;
    std::optional<std::vector<std::unique_ptr<TGPresenter>>> presenters;
    std::vector<LayerValues> layers;
  };

  std::vector<LayerValues> Layers(const Node* store) const {
    std::vector<LayerValues> list;
    if (!store) return list;
    for (const Node& n : store->children) {
      if (n.name != QLatin1String("Layer")) continue;
      LayerValues l;
      l.name = Text(n, "Name").toStdString();
      l.alphaBlend = static_cast<std::uint8_t>(Int(n, "AlphaBlend", 255, 0, 255));
      l.enabled = Flag(n, "Enabled", true);
      l.noInterrupt = Flag(n, "NoInterrupt", false);
      l.selectable = Flag(n, "Selectable", true);
      l.showTitles = Flag(n, "ShowTitles", true);
      l.visible = Flag(n, "Visible", true);
      l.renderAll = Flag(n, "RenderAllObjects", false);
      l.titleColumn = static_cast<std::int32_t>(Int(n, "TitleColumn", 0, 0, 1000000));
      l.titleColumnName = Text(n, "TitleColumnName").toStdString();
      l.zoomMax = static_cast<std::uint32_t>(Int(n, "ZoomMax", 0, 0, 0xFFFFFFFFll));
      l.zoomMin = static_cast<std::uint32_t>(Int(n, "ZoomMin", 0, 0, 0xFFFFFFFFll));
      l.zoomUnits = Unit(n, "ZoomUnits", guKilometer);
      l.surfaceImage = Text(n, "SurfaceImageName").toStdString();
      l.surfaceAlpha = static_cast<std::uint8_t>(Int(n, "SurfaceAlpha", 255, 0, 255));
      l.surfaceTransparent = Colour(n, "SurfaceTransparentColor", clNone);
      l.presenters = Presenters(n.Child("Presenters"));
      l.layers = Layers(n.Child("LayerStore"));
      list.push_back(std::move(l));
    }
    return list;
  }

 private:
  std::string file_;
};

// Everything the file sets, checked, before it is applied.
struct Environment {
  std::string texture;
  TColor surfaceColor = clAqua, minObjectColor = clGray, color = clBlack;
  std::optional<double> cullObjectPixels, minObjectPixels;
  int width = 0, height = 0;
  std::optional<std::int32_t> longStep, latStep;
  std::optional<TGGraticuleDrawMode> drawMode;
  std::optional<TGPen> graticulePen;
  bool hasProjector = false;
  std::string projectionClass = "TGSphericalPrj";
  long double values[19] = {};
  long double scale = 0, fov = 50;
  bool useMinMax = false;
  std::int32_t xOrigin = 0, yOrigin = 0;
  TGSpheroid spheroid = WGS84;
  TGXAxisChanges xAxis = xaYOrigin;
  TGYAxisChanges yAxis = yaCentralMeridian;
  std::optional<int> maxText, minText;
  std::optional<bool> doubleBuffer;
  std::optional<TGPen> selectedPen;
  std::optional<TGBrush> selectedBrush;
  std::optional<std::vector<std::unique_ptr<TGPresenter>>> rootPresenters;
  bool hasLayers = false;
  std::vector<Reader::LayerValues> layers;
  TGEnvironmentKeys application;
};

Environment Interpret(const Reader& r, const Node& root, const TGEnvironmentKeyCheck& check) {
  Environment e;
  constexpr std::int64_t kMin = std::numeric_limits<std::int32_t>::min();
  constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
  e.texture = r.Text(root, "SurfaceTextureName").toStdString();
  e.surfaceColor = r.Colour(root, "SurfaceColor", clAqua);
  e.minObjectColor = r.Colour(root, "MinObjectColor", clGray);
  e.color = r.Colour(root, "Color", clBlack);
  if (root.attributes.hasAttribute("CullObjectPixels"))
    e.cullObjectPixels = static_cast<double>(r.RealValue(root, "CullObjectPixels", 0, 0, 1e6));
  if (root.attributes.hasAttribute("MinObjectPixels"))
    e.minObjectPixels = static_cast<double>(r.RealValue(root, "MinObjectPixels", 0, 0, 1e6));
  e.width = static_cast<int>(r.Int(root, "Width", 0, 0, 1000000));
  e.height = static_cast<int>(r.Int(root, "Height", 0, 0, 1000000));

  if (const Node* g = root.Child("Graticule")) {
    e.longStep = static_cast<std::int32_t>(r.Int(*g, "LongStep", 10, 0, 360));
    e.latStep = static_cast<std::int32_t>(r.Int(*g, "LatStep", 10, 0, 90));
    e.drawMode = static_cast<TGGraticuleDrawMode>(r.Int(*g, "DrawMode", gdBehind, 0, gdInFront));
    e.graticulePen = r.Pen(g->Child("Pen"), TGPen(clSilver, gpsSolid, 1, guPixel));
  }

  if (const Node* p = root.Child("Projector")) {
    e.hasProjector = true;
    if (const Node* m = p->Child("ProjectionModel")) {
      const QString cls = r.Text(*m, "Class");
      // A missing or unknown class gives the globe.
      for (const char* flat : {"TGCartesianPrj", "TGMercatorPrj"})
        if (!strcasecmp(cls.toUtf8().constData(), flat)) e.projectionClass = flat;
    }
    constexpr long double kBig = 1e9L;
    e.scale = r.RealValue(*p, "ScaleFactor", 0, 0, 1);
    e.values[piCentralMeridian] = r.RealValue(*p, "CentralMeridian", 0, -kBig, kBig);
    e.values[piCentralParallel] = r.RealValue(*p, "CentralParallel", 0, -kBig, kBig);
    e.values[piFirstParallel] = r.RealValue(*p, "FirstParallel", 0, -kBig, kBig);
    e.values[piSecondParallel] = r.RealValue(*p, "SecondParallel", 0, -kBig, kBig);
    e.values[piMaxLatitude] = r.RealValue(*p, "MaxLatitude", 90, -90, 90);
    e.values[piMaxLongitude] = r.RealValue(*p, "MaxLongitude", 180, -180, 180);
    e.values[piMaxZoom] = r.RealValue(*p, "MaxZoom", 0, 0, 1);
    e.values[piMinLatitude] = r.RealValue(*p, "MinLatitude", -90, -90, 90);
    e.values[piMinLongitude] = r.RealValue(*p, "MinLongitude", -180, -180, 180);
    e.values[piMinZoom] = r.RealValue(*p, "MinZoom", 0, 0, 1);
    e.useMinMax = r.Flag(*p, "UseMinMax", false);
    e.fov = r.RealValue(*p, "FOV", 50, 1e-6L, 179.999L);
    e.spheroid = static_cast<TGSpheroid>(r.Int(*p, "Spheroid", WGS84, 0, WGS84));
    e.values[piXRotation] = r.RealValue(*p, "XRotation", 0, -kBig, kBig);
    e.values[piYRotation] = r.RealValue(*p, "YRotation", 0, -kBig, kBig);
    e.values[piZRotation] = r.RealValue(*p, "ZRotation", 0, -kBig, kBig);
    e.xOrigin = static_cast<std::int32_t>(r.Int(*p, "XOrigin", 0, kMin, kMax));
    e.yOrigin = static_cast<std::int32_t>(r.Int(*p, "YOrigin", 0, kMin, kMax));
    e.xAxis = static_cast<TGXAxisChanges>(r.Int(*p, "XAxisChanges", xaYOrigin, 0, xaNoAction));
    e.yAxis = static_cast<TGYAxisChanges>(
        r.Int(*p, "YAxisChanges", yaCentralMeridian, 0, yaNoAction));
  }

  if (const Node* rn = root.Child("Renderer")) {
    e.maxText = static_cast<int>(r.Int(*rn, "MaxTextHeight", 50, 0, 10000));
    e.minText = static_cast<int>(r.Int(*rn, "MinTextHeight", 5, 0, 10000));
    e.doubleBuffer = r.Flag(*rn, "DoubleBuffer", true);
    if (const Node* n = rn->Child("SelectedPen"))
      e.selectedPen = r.Pen(n, TGPen(0x0000FF, gpsSolid, 1, guPixel));
    if (const Node* n = rn->Child("SelectedBrush"))
      e.selectedBrush = r.Brush(n, TGBrush(0x00FFFF, 0x00FFFF, gbsSolid));
  }

  // The layers: LayerStore with Presenters beside it, or an older GlobeLayer holding both.
  const Node* presenters = root.Child("Presenters");
  const Node* store = root.Child("LayerStore");
  if (!store && !presenters) {
    if (const Node* globeLayer = root.Child("GlobeLayer")) {
      presenters = globeLayer->Child("Presenters");
      store = globeLayer->Child("LayerStore");
    }
  }
  e.rootPresenters = r.Presenters(presenters);
  e.hasLayers = store != nullptr;
  e.layers = r.Layers(store);

  if (const Node* a = root.Child("Application")) {
    for (const Node& k : a->children) {
      if (k.name != QLatin1String("Key")) continue;
      if (!k.attributes.hasAttribute("Name")) r.Fail(k, "Name", QStringLiteral("missing"));
      const std::string name = r.Text(k, "Name").toStdString();
      const std::string value = r.Text(k, "Value").toStdString();
      if (check) {
        const std::string problem = check(name, value);
        if (!problem.empty())
          r.Fail(k.line, QStringLiteral("Key %1: %2").arg(QString::fromStdString(name),
                                                          QString::fromStdString(problem)));
      }
      e.application[name] = value;
    }
  }
  return e;
}

void ApplyLayers(TGCustomGlobeView& globe, TGLayerStore& store,
                 std::vector<Reader::LayerValues>& layers) {
  for (auto& v : layers) {
    TGLayer* layer = v.name.empty() ? nullptr : store.FindByName(v.name);
    if (!layer) {
      auto made = std::make_unique<TGLayer>(&globe);
      made->SetName(v.name);
      layer = made.get();
      store.Add(std::move(made));
    }
    layer->AlphaBlend = v.alphaBlend;
    layer->Enabled = v.enabled;
    layer->NoInterrupt = v.noInterrupt;
    layer->Selectable = v.selectable;
    layer->ShowTitles = v.showTitles;
    layer->Visible = v.visible;
    layer->RenderAllObjects = v.renderAll;
    layer->TitleColumn = v.titleColumn;
    layer->TitleColumnName = v.titleColumnName;
    layer->ZoomMax = v.zoomMax;
    layer->ZoomMin = v.zoomMin;
    layer->ZoomUnits = v.zoomUnits;
    layer->SurfaceAlpha = v.surfaceAlpha;
    layer->SurfaceTransparentColor = v.surfaceTransparent;
    if (v.surfaceImage != layer->SurfaceImageName()) layer->SetSurfaceImageName(v.surfaceImage);
    if (v.presenters) {
      layer->Presenters().Clear();
      for (auto& p : *v.presenters) layer->Presenters().Add(std::move(p));
    }
    ApplyLayers(globe, layer->Layers(), v.layers);
  }
}

void Apply(TGCustomGlobeView& globe, Environment& e) {
  TGProjector& prj = globe.Projector();
  globe.SetSurfaceColor(e.surfaceColor);
  globe.SetMinObjectColor(e.minObjectColor);
  globe.SetColor(e.color);
  if (e.cullObjectPixels) globe.SetCullObjectPixels(*e.cullObjectPixels);
  if (e.minObjectPixels) globe.SetMinObjectPixels(*e.minObjectPixels);
  if (e.drawMode) {
    TGGraticule& g = globe.Graticule();
    g.SetLongitudeStep(*e.longStep);
    g.SetLatitudeStep(*e.latStep);
    g.SetDrawMode(*e.drawMode);
    g.SetGraticulePen(*e.graticulePen);
  }
  if (e.maxText) globe.SetMaxTextHeight(*e.maxText);
  if (e.minText) globe.SetMinTextHeight(*e.minText);
  if (e.doubleBuffer) globe.SetDoubleBuffer(*e.doubleBuffer);
  if (e.selectedPen) globe.SetSelectedPen(*e.selectedPen);
  if (e.selectedBrush) globe.SetSelectedBrush(*e.selectedBrush);
  if (e.hasProjector) {
    prj.SetProjectionClass(e.projectionClass);
    prj.Spheroid = e.spheroid;
    prj.YAxisChanges = e.yAxis;
    prj.XAxisChanges = e.xAxis;
    prj.SetScaleFactor(e.scale);
    for (int i : {piMaxLatitude, piMaxLongitude, piMaxZoom, piMinLatitude, piMinLongitude,
                  piMinZoom})
      prj.SetByIndex(i, e.values[i]);
    if (e.useMinMax != prj.UseMinMaxLimits()) prj.SetUseMinMaxLimits(e.useMinMax);
    prj.FieldOfViewAngle = e.fov;
    prj.SetByIndex(piXRotation, e.values[piXRotation]);
    prj.SetByIndex(piYRotation, e.values[piYRotation]);
    prj.SetByIndex(piZRotation, e.values[piZRotation]);
    prj.SetXOrigin(e.xOrigin);
    prj.SetYOrigin(e.yOrigin);
    for (int i : {piCentralMeridian, piCentralParallel, piFirstParallel, piSecondParallel})
      prj.SetByIndex(i, e.values[i]);
    // The view was saved for a client of another size: it grows with the diagonal.
    const int w = globe.ClientWidth(), h = globe.ClientHeight();
    if (e.width > 0 && e.height > 0 && (w != e.width || h != e.height) && w > 0 && h > 0) {
      const double f = std::hypot(h, w) / std::hypot(e.height, e.width);
      const QPoint origin(RoundToInt(prj.XOrigin() * f), RoundToInt(prj.YOrigin() * f));
      prj.SetScaleFactor(prj.ScaleFactor() * f);
      prj.SetXYOrigin(origin);
    }
  }
  if (e.rootPresenters) {
    TGPresenterStore& store = globe.RootLayer().Presenters();
    store.Clear();
    for (auto& p : *e.rootPresenters) store.Add(std::move(p));
  }
  if (e.hasLayers) ApplyLayers(globe, globe.Layers(), e.layers);
}

}  // namespace

std::string EnvironmentDocument(TGCustomGlobeView& globe, const TGEnvironmentKeys& application) {
  QByteArray bytes;
  QXmlStreamWriter w(&bytes);
  w.setAutoFormatting(true);
  w.setAutoFormattingIndent(1);
  w.writeStartDocument();
  w.writeStartElement(kRootName);
  w.writeAttribute("SurfaceTextureName", QString::fromStdString(globe.SurfaceTextureName()));
  w.writeAttribute("SurfaceColor", Colour(globe.SurfaceColor()));
  w.writeAttribute("MinObjectColor", Colour(globe.MinObjectColor()));
  w.writeAttribute("Color", Colour(globe.Color()));
  w.writeAttribute("CullObjectPixels", Real(globe.CullObjectPixels()));
  w.writeAttribute("MinObjectPixels", Real(globe.MinObjectPixels()));
  w.writeAttribute("Width", QString::number(globe.ClientWidth()));
  w.writeAttribute("Height", QString::number(globe.ClientHeight()));

  TGGraticule& g = globe.Graticule();
  w.writeStartElement("Graticule");
  w.writeAttribute("LongStep", QString::number(g.LongitudeStep()));
  w.writeAttribute("LatStep", QString::number(g.LatitudeStep()));
  w.writeAttribute("DrawMode", QString::number(g.DrawMode()));
  WritePen(w, "Pen", g.GraticulePen());
  w.writeEndElement();

  TGProjector& p = globe.Projector();
  w.writeStartElement("Projector");
  w.writeAttribute("ScaleFactor", Real(p.ScaleFactor()));
  w.writeAttribute("CentralMeridian", Real(p.CentralMeridian()));
  w.writeAttribute("CentralParallel", Real(p.CentralParallel()));
  w.writeAttribute("FirstParallel", Real(p.GetByIndex(piFirstParallel)));
  w.writeAttribute("SecondParallel", Real(p.GetByIndex(piSecondParallel)));
  w.writeAttribute("MaxLatitude", Real(p.MaxLatitude()));
  w.writeAttribute("MaxLongitude", Real(p.MaxLongitude()));
  w.writeAttribute("MaxZoom", Real(p.MaxZoom()));
  w.writeAttribute("MinLatitude", Real(p.MinLatitude()));
  w.writeAttribute("MinLongitude", Real(p.MinLongitude()));
  w.writeAttribute("MinZoom", Real(p.MinZoom()));
  w.writeAttribute("UseMinMax", Bool(p.UseMinMaxLimits()));
  w.writeAttribute("FOV", Real(p.FieldOfViewAngle));
  w.writeAttribute("Spheroid", QString::number(p.Spheroid));
  w.writeAttribute("XRotation", Real(p.XRotation()));
  w.writeAttribute("YRotation", Real(p.YRotation()));
  w.writeAttribute("ZRotation", Real(p.ZRotation()));
  w.writeAttribute("XOrigin", QString::number(p.XOrigin()));
  w.writeAttribute("YOrigin", QString::number(p.YOrigin()));
  w.writeAttribute("XAxisChanges", QString::number(p.XAxisChanges));
  w.writeAttribute("YAxisChanges", QString::number(p.YAxisChanges));
  w.writeEmptyElement("ProjectionModel");
  w.writeAttribute("Class", QString::fromStdString(p.ProjectionClass()));
  w.writeEndElement();

  TGDefaultRenderer& r = globe.Renderer();
  w.writeStartElement("Renderer");
  w.writeAttribute("MaxTextHeight", QString::number(r.MaxTextHeight));
  w.writeAttribute("MinTextHeight", QString::number(r.MinTextHeight));
  w.writeAttribute("DoubleBuffer", Bool(r.DoubleBuffer));
  WritePen(w, "SelectedPen", r.SelectedPen);
  WriteBrush(w, "SelectedBrush", r.SelectedBrush);
  w.writeEndElement();

  WritePresenters(w, globe.RootLayer().Presenters());
  WriteLayerStore(w, globe.Layers());

  if (!application.empty()) {
    w.writeStartElement("Application");
    for (const auto& [key, value] : application) {
      w.writeEmptyElement("Key");
      w.writeAttribute("Name", QString::fromStdString(key));
      w.writeAttribute("Value", QString::fromStdString(value));
    }
    w.writeEndElement();
  }
  w.writeEndElement();
  w.writeEndDocument();
  return bytes.toStdString();
}

void WriteEnvironmentFile(TGCustomGlobeView& globe, const std::string& fileName,
                          const TGEnvironmentKeys& application) {
  const std::string doc = EnvironmentDocument(globe, application);
  try {
    WriteFileSafely(fileName, std::span(reinterpret_cast<const std::uint8_t*>(doc.data()),
                                        doc.size()));
  } catch (const FileWriteError& e) {
    throw TGEnvironmentError(e.what());
  }
}

TGEnvironmentKeys ReadEnvironmentFile(TGCustomGlobeView& globe, const std::string& fileName,
                                      const TGEnvironmentKeyCheck& check) {
  Reader reader(fileName);
  const QString name = QString::fromStdString(fileName);
  const QFileInfo info(name);
  if (!info.exists()) reader.Fail(0, QStringLiteral("no such file"));
  if (!info.isFile()) reader.Fail(0, QStringLiteral("not a regular file"));
  if (info.size() > kMaxFileBytes) reader.Fail(0, QStringLiteral("file too large"));
  QFile file(name);
  if (!file.open(QIODevice::ReadOnly)) reader.Fail(0, file.errorString());
  const QByteArray bytes = file.read(kMaxFileBytes + 1);
  if (file.error() != QFileDevice::NoError) reader.Fail(0, file.errorString());
  const Node root = reader.Parse(bytes);
  Environment e = Interpret(reader, root, check);
  // The texture is the one part that can go wrong while applying: it comes first, so that a
  // texture that does not load leaves everything else as it was.
  if (e.texture != globe.SurfaceTextureName()) {
    try {
      globe.SetSurfaceTextureName(e.texture);
    } catch (const std::exception& ex) {
      reader.Fail(root.line, QStringLiteral("surface texture %1: %2")
                                 .arg(QString::fromStdString(e.texture), QString::fromUtf8(ex.what())));
    }
  }
  globe.BeginUpdate();
  try {
    Apply(globe, e);
  } catch (...) {
    globe.EndUpdate();
    throw;
  }
  globe.EndUpdate();
  return e.application;
}

}  // namespace umbrivista
