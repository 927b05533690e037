// File menu: the globe's view saved to an environment file and opened again, in the main window.

#include <gtest/gtest.h>

#include <QAction>
#include <QFile>
#include <QTest>
#include <string>
#include <vector>

#include "globeview.h"
#include "main_window.h"
#include "scratch_dir.h"
#include "shipped_catalogue.h"
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

}  // namespace
}  // namespace umbrivista
