// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// File menu: the globe's view saved to an environment file and opened again, in the main window.

#include <gtest/gtest.h>

#include <QAction>
#include <QFile>
#include <QLineEdit>
#include <QSlider>
#include <QTest>
#include <string>
#include <vector>

#include "globeview.h"
#include "main_window.h"
#include "scratch_dir.h"
#include "shipped_catalogue.h"
#include "view_keys.h"
#include "widgets.h"

namespace umbrivista {
namespace {

struct ViewFileTest : ScratchDirTest {
  ViewFileTest() : ScratchDirTest("view_file") {}
  void SetUp() override {
    ScratchDirTest::SetUp();
    MainWindowOptions options;
    options.catalogueFile = std::string(UMBRIVISTA_DATA_DIR) + "/" + kCatalogueFileName;
    options.dataDir = UMBRIVISTA_DATA_DIR;
    options.version = "0.1.0";
    options.settings.mainWidth = 640;
    options.settings.mainHeight = 480;
    main_ = std::make_unique<TForm_Main>(options);
    main_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(main_.get()));
    SetMessageSink([this](QWidget*, const QString& text) { messages_.push_back(text); });
  }
  void TearDown() override {
    SetMessageSink(nullptr);
    SetSaveFileChooser(nullptr);
    main_.reset();
    ScratchDirTest::TearDown();
  }
  std::unique_ptr<TForm_Main> main_;
  std::vector<QString> messages_;
};

TEST_F(ViewFileTest, TheMenuSavesAndOpensTheGlobesView) {
  const struct {
    Language language;
    const char* save;
    const char* open;
  } texts[] = {{Language::kGerman, "Ansicht &speichern …", "Ansicht &öffnen …"},
               {Language::kEnglish, "&Save view…", "&Open view…"},
               {Language::kFrench, "Enregistrer la &vue…", "&Ouvrir une vue…"}};
  for (const auto& t : texts) {
    main_->LanguageCommand(t.language);
    EXPECT_EQ(main_->Action_SaveView->text(), QString::fromUtf8(t.save));
    EXPECT_EQ(main_->Action_OpenView->text(), QString::fromUtf8(t.open));
  }
  TGlobeView& globe = *main_->Globe;
  EXPECT_EQ(globe.ScrollBars(), ssNone);

  const std::string file = (dir_ / "view.xml").string();
  SetSaveFileChooser([&](QWidget*, const QString&) { return file; });
  globe.Graticule().SetLatitudeStep(30);
  globe.SetSurfaceColor(0x305070);
  main_->Action_SaveView->trigger();
  ASSERT_TRUE(QFile::exists(QString::fromStdString(file)));

  globe.Graticule().SetLatitudeStep(10);
  globe.SetSurfaceColor(clAqua);
  EXPECT_TRUE(main_->OpenView(file));
  EXPECT_EQ(globe.Graticule().LatitudeStep(), 30);
  EXPECT_EQ(globe.SurfaceColor(), 0x305070u);
  EXPECT_TRUE(messages_.empty());

  // A damaged file and a missing one are reported and change nothing.
  QFile damaged(QString::fromStdString((dir_ / "damaged.xml").string()));
  ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
  damaged.write("<?xml version=\"1.0\"?>\n<GlobeEnvironment SurfaceColor=\"green\"/>\n");
  damaged.close();
  EXPECT_FALSE(main_->OpenView((dir_ / "damaged.xml").string()));
  EXPECT_FALSE(main_->OpenView((dir_ / "gone.xml").string()));
  ASSERT_EQ(messages_.size(), 2u);
  EXPECT_TRUE(messages_[0].startsWith(QString::fromStdString((dir_ / "damaged.xml").string()) +
                                      ":2: GlobeEnvironment SurfaceColor: not a colour"))
      << messages_[0].toStdString();
  EXPECT_TRUE(messages_[1].contains("gone.xml")) << messages_[1].toStdString();
  EXPECT_EQ(globe.SurfaceColor(), 0x305070u);
  EXPECT_EQ(globe.EnvironmentFile(), file);
}

// A saved view opens on the eclipse, the instant and the view it was saved with; a key the
// program cannot use refuses the file at its line and changes nothing.
TEST_F(ViewFileTest, AViewTakesTheEclipseAndItsInstantWithIt) {
  const Session& s = main_->Model();
  const auto enter = [](QLineEdit* box, const char* text) {
    box->setText(QString::fromUtf8(text));
    QTest::keyClick(box, Qt::Key_Return);
  };
  enter(main_->Edit_Jahr, "2024-04-08");
  main_->Opt_MapView->trigger();
  enter(main_->Edit_Time, "18:30");
  main_->Zoom_TrackBar->setValue(200);
  enter(main_->Edit_PoI_Breite, "32.78");
  enter(main_->Edit_PoI_Laenge, "96.8");
  const ViewKeys saved = SessionViewKeys(s);
  ASSERT_EQ(saved.at("Eclipse"), "2024-04-08");
  ASSERT_EQ(saved.at("View"), "map");
  ASSERT_EQ(saved.at("Zoom"), "200");
  const std::string file = (dir_ / "eclipse.xml").string();
  SetSaveFileChooser([&](QWidget*, const QString&) { return file; });
  main_->Action_SaveView->trigger();

  enter(main_->Edit_Jahr, "-584");
  main_->Opt_BackView->trigger();
  main_->Zoom_TrackBar->setValue(90);
  ASSERT_NE(SessionViewKeys(s), saved);
  ASSERT_TRUE(main_->OpenView(file));
  EXPECT_EQ(SessionViewKeys(s), saved);
  EXPECT_TRUE(main_->Opt_MapView->isChecked());
  EXPECT_FALSE(main_->Opt_BackView->isChecked());
  EXPECT_EQ(main_->Zoom_TrackBar->value(), 200);
  EXPECT_TRUE(messages_.empty());

  QFile in(QString::fromStdString(file));
  ASSERT_TRUE(in.open(QIODevice::ReadOnly));
  const QString text = QString::fromUtf8(in.readAll());
  enter(main_->Edit_Jahr, "-584");
  const ViewKeys before = SessionViewKeys(s);
  const struct {
    const char* key;
    const char* value;
    const char* reason;
  } damaged[] = {{"Eclipse", "2024-04-09", "no eclipse of that date in the catalogue"},
                 {"Eclipse", "2024-4", "no eclipse of that date in the catalogue"},
                 {"TimePosition", "12601", "not a whole number from 0 to 12600"},
                 {"View", "side", "not normal, back or map"},
                 {"Map", "polar", "not mercator or flat"},
                 {"Zoom", "59", "not a whole number from 60 to 350"},
                 {"PointOfInterest", "91 0", "not a latitude and a longitude in degrees"},
                 {"PointOfInterestShown", "maybe", "not yes or no"}};
  for (const auto& d : damaged) {
    SCOPED_TRACE(d.key);
    const QString from = QStringLiteral("Name=\"%1\" Value=\"%2\"")
                             .arg(QLatin1String(d.key), QString::fromStdString(saved.at(d.key)));
    const qsizetype at = text.indexOf(from);
    ASSERT_GE(at, 0);
    const int line = static_cast<int>(text.left(at).count(QLatin1Char('\n'))) + 1;
    QString changed = text;
    changed.replace(from, QStringLiteral("Name=\"%1\" Value=\"%2\"")
                              .arg(QLatin1String(d.key), QLatin1String(d.value)));
    const QString bad = QString::fromStdString((dir_ / "bad.xml").string());
    QFile out(bad);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
    out.write(changed.toUtf8());
    out.close();
    messages_.clear();
    EXPECT_FALSE(main_->OpenView(bad.toStdString()));
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0], QStringLiteral("%1:%2: Key %3: %4")
                                .arg(bad)
                                .arg(line)
                                .arg(QLatin1String(d.key), QLatin1String(d.reason)));
    EXPECT_EQ(SessionViewKeys(s), before);
  }
}

}  // namespace
}  // namespace umbrivista
