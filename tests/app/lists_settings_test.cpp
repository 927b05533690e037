// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
// The list of points of interest, the settings kept between runs, help and the version panel,
// driven through the main window offscreen.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QSlider>
#include <QTableWidget>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>

#include <sys/stat.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <optional>

#include "about_panel.h"
#include "version_info.h"
#include "city_hist_window.h"
#include "city_list_window.h"
#include "globeview.h"
#include "help_window.h"
#include "layers.h"
#include "main_window.h"
#include "widgets.h"
#include "poi_list.h"
#include "poi_panels.h"
#include "scratch_dir.h"
#include "settings_file.h"

namespace umbrivista {
namespace {

QStringList AnchorNames(const QTextDocument& document) {
  QStringList names;
  for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
    names << block.charFormat().anchorNames();
    for (auto it = block.begin(); !it.atEnd(); ++it) names << it.fragment().charFormat().anchorNames();
  }
  return names;
}

class ListsAndSettingsTest : public ScratchDirTest {
 protected:
  ListsAndSettingsTest() : ScratchDirTest("app_lists") {}
  void SetUp() override {
    ScratchDirTest::SetUp();
    SetMessageSink([this](QWidget*, const QString& text) { messages_.push_back(text); });
    SetQuestionSink([this](QWidget*, const QString& text) {
      questions_.push_back(text);
      return answer_;
    });
  }
  void TearDown() override {
    SetMessageSink(nullptr);
    SetQuestionSink(nullptr);
    ScratchDirTest::TearDown();
  }
  // The program's start: settings read or made, the three windows, the saved language.
  std::unique_ptr<TForm_Main> Start() {
    MainWindowOptions options;
    options.catalogueFile = std::string(UMBRIVISTA_DATA_DIR) + "/" + kCatalogueFileName;
    options.dataDir = UMBRIVISTA_DATA_DIR;
    options.version = "0.1.0";
    options.settingsFile = (dir_ / kSettingsFileName).string();
    options.poiFile = (dir_ / kPoIFileName).string();
    options.selectionFile = (dir_ / kPoISelectionFileName).string();
    const LoadedSettings loaded = LoadOrCreateSettings(options.settingsFile, "0.1.0", {28504});
    options.settings = loaded.record;
    options.fitGlobe = loaded.firstRun;
    options.settingsProblem = loaded.problem;
    auto window = std::make_unique<TForm_Main>(options);
    history_ = std::make_unique<TForm_CityHist>();
    history_->ApplySettings(options.settings);
    list_ = std::make_unique<TForm_CityList>();
    list_->ApplySettings(options.settings);
    window->AttachReportWindows(history_.get(), list_.get());
    window->LanguageCommand(options.settings.language);
    window->show();
    QCoreApplication::processEvents();
    return window;
  }
  std::string FileText(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }
  QPushButton* Button(TForm_Main& w, const char* name) {
    return w.findChild<QPushButton*>(QString::fromLatin1(name));
  }

  std::vector<QString> messages_;
  std::vector<QString> questions_;
  bool answer_ = false;
  std::unique_ptr<TForm_CityHist> history_;
  std::unique_ptr<TForm_CityList> list_;
};

TEST_F(ListsAndSettingsTest, EditSaveSelectAndDrawTheList) {
  auto w = Start();
  w->Markierungen_Bearbeiten->trigger();
  EXPECT_TRUE(w->Panel_PoIs_Edit->isVisible());
  EXPECT_EQ(w->RichEdit_PoIs->toPlainText().count('\n'), 39);
  Button(*w, "Button_PoIS_Speichern")->click();
  EXPECT_FALSE(w->Panel_PoIs_Edit->isVisible());
  std::string expected;
  for (const std::string& line : DefaultPoILines()) expected += line + '\n';
  EXPECT_EQ(FileText(dir_ / kPoIFileName), expected);

  w->Markierungen_Auswaehlen->trigger();
  ASSERT_EQ(w->CheckListBox_PoIs->count(), 39);
  for (int i : {0, 19, 25}) w->CheckListBox_PoIs->item(i)->setCheckState(Qt::Checked);
  Button(*w, "Button_PoIs_Select")->click();
  // The format line is reported once and left out; the two places are drawn.
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_TRUE(messages_[0].contains("dd.dd N ddd.dd")) << messages_[0].toStdString();
  ASSERT_EQ(w->ListMarks().size(), 2u);
  EXPECT_EQ(w->ListMarks()[0].title, " New Orleans");
  EXPECT_EQ(w->ListMarks()[1].title, "Putre");
  EXPECT_EQ(w->Layers()->ObjectCount(kPoIListLayer), 2);
  // Stepping through eclipses redraws the points without reporting anything again.
  for (int i = 1; i <= 5; ++i) w->ScrollBar_Eclipse->setValue(16690 + i);
  EXPECT_EQ(messages_.size(), 1u);
  EXPECT_EQ(w->Layers()->ObjectCount(kPoIListLayer), 2);
  // Check marks stay while the panel is closed and opened again ...
  w->Markierungen_Auswaehlen->trigger();
  EXPECT_EQ(w->CheckListBox_PoIs->item(19)->checkState(), Qt::Checked);
  Button(*w, "Button_PoIs_Select_Cancel")->click();
  // ... and when the list is saved again; the file never holds them.
  w->Markierungen_Bearbeiten->trigger();
  Button(*w, "Button_PoIS_Speichern")->click();
  EXPECT_EQ(FileText(dir_ / kPoIFileName), expected);
  w->Markierungen_Auswaehlen->trigger();
  EXPECT_EQ(w->CheckListBox_PoIs->item(19)->checkState(), Qt::Checked);
}

TEST_F(ListsAndSettingsTest, CheckMarksSurviveEditsOfOtherLines) {
  auto w = Start();
  w->Markierungen_Auswaehlen->trigger();
  for (int i : {19, 25}) w->CheckListBox_PoIs->item(i)->setCheckState(Qt::Checked);
  Button(*w, "Button_PoIs_Select")->click();
  // A line inserted at the top, the Midway line changed and the Putre line edited.
  w->Markierungen_Bearbeiten->trigger();
  QStringList lines = w->RichEdit_PoIs->toPlainText().split('\n', Qt::SkipEmptyParts);
  lines[10] = "+2012 05 20 28.21 N 177.37 W Midway Atoll";
  lines[25] += " (edited)";
  lines.prepend("+2024 04 08 32.78 N 096.80 W Dallas");
  w->RichEdit_PoIs->setPlainText(lines.join('\n'));
  Button(*w, "Button_PoIS_Speichern")->click();
  w->Markierungen_Auswaehlen->trigger();
  ASSERT_EQ(w->CheckListBox_PoIs->count(), 40);
  std::vector<int> checked;
  for (int i = 0; i < w->CheckListBox_PoIs->count(); ++i)
    if (w->CheckListBox_PoIs->item(i)->checkState() == Qt::Checked) checked.push_back(i);
  // New Orleans moved one down and keeps its mark; the edited Putre line is a new line.
  EXPECT_EQ(checked, std::vector<int>{20});
}

TEST_F(ListsAndSettingsTest, AddTheCurrentPointWritesALineOfItsEclipse) {
  auto w = Start();
  w->ScrollBar_Eclipse->setValue(16690);  // 2024-04-08
  w->RadioButton_PoI_West->setChecked(true);
  w->Edit_PoI_Breite->setText("36.97");
  w->Edit_PoI_Laenge->setText("86.47");
  std::optional<std::string> name = "Hopkinsville (KY)";
  w->findChild<TPoIListPanels*>()->SetNameAsker(
      [&name](QWidget*, Language) { return name; });
  ASSERT_NE(w->Markierungen_Hinzufuegen, nullptr);
  w->Markierungen_Hinzufuegen->trigger();
  const std::string added = "+2024 04 08 36.97 N 086.47 W Hopkinsville (KY)\n";
  std::string expected;
  for (const std::string& line : DefaultPoILines()) expected += line + '\n';
  EXPECT_EQ(FileText(dir_ / kPoIFileName), expected + added);
  EXPECT_TRUE(w->Panel_PoIs_Edit->isVisible());
  EXPECT_TRUE(w->RichEdit_PoIs->toPlainText().endsWith(QString::fromStdString(added)));
  // Declined or nameless: nothing is added; the nameless one is said.
  for (std::optional<std::string> declined : {std::optional<std::string>(), std::optional<std::string>(" \t ")}) {
    name = declined;
    w->Markierungen_Hinzufuegen->trigger();
  }
  EXPECT_EQ(FileText(dir_ / kPoIFileName), expected + added);
  EXPECT_EQ(messages_.size(), 1u);
}

TEST_F(ListsAndSettingsTest, AnUnusableListIsNamedAndNotOverwritten) {
  const std::filesystem::path file = dir_ / kPoIFileName;
  const std::string longLine = "+2024 04 08 32.78 N 096.80 W " + std::string(972, 'x');
  const struct {
    const char* what;
    std::function<void()> make;
    const char* reason;
  } lists[] = {
      {"folder", [&] { std::filesystem::create_directories(file); }, "not a regular file"},
      // A pipe would block the start for ever if it were opened.
      {"pipe", [&] { ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0); }, "not a regular file"},
      {"too large", [&] { std::ofstream(file) << std::string((1 << 20) + 1, '\n'); },
       "larger than 1 MiB"},
      {"long line", [&] { std::ofstream(file) << "\n" << longLine << "\n"; },
       "line 2: longer than 1000 characters"},
  };
  for (const auto& l : lists) {
    SCOPED_TRACE(l.what);
    std::filesystem::remove_all(file);
    messages_.clear();
    questions_.clear();
    l.make();
    const auto type = std::filesystem::symlink_status(file).type();
    auto w = Start();
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_TRUE(messages_[0].contains(QString::fromStdString(file.string() + ": " + l.reason)))
        << messages_[0].toStdString();
    // The editor offers the default lines; saving them asks first and, refused, keeps the file.
    EXPECT_EQ(w->RichEdit_PoIs->toPlainText().count('\n'), 39);
    w->Markierungen_Bearbeiten->trigger();
    Button(*w, "Button_PoIS_Speichern")->click();
    ASSERT_EQ(questions_.size(), 1u);
    EXPECT_EQ(std::filesystem::symlink_status(file).type(), type);
    EXPECT_TRUE(w->Panel_PoIs_Edit->isVisible());
  }
  // A line of exactly 1000 characters is still a list.
  std::filesystem::remove_all(file);
  std::ofstream(file) << longLine.substr(0, 1000) << "\n";
  messages_.clear();
  auto w = Start();
  EXPECT_TRUE(messages_.empty());
  EXPECT_EQ(w->RichEdit_PoIs->toPlainText().size(), 1001);
}

TEST_F(ListsAndSettingsTest, AFirstRunKeepsItsFittedGlobeAndSaysWhenItCannotKeepAnything) {
  auto w = Start();
  // Killed now, the next start would find this record: the whole globe, centred.
  std::ifstream in(dir_ / kSettingsFileName, std::ios::binary);
  const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
  const SettingsRecord kept = DecodeSettings(bytes, {28504});
  EXPECT_EQ(kept.zoomPosition, w->Zoom_TrackBar->value());
  EXPECT_GE(kept.zoomPosition, 300);
  EXPECT_EQ(kept.originX, w->Globe->width() / 2);
  EXPECT_EQ(kept.originY, w->Globe->height() / 2);
  EXPECT_TRUE(messages_.empty());
  w->close();
  // A settings file that cannot be made (a folder has its place) is reported at the start.
  messages_.clear();
  std::filesystem::remove(dir_ / kSettingsFileName);
  std::filesystem::create_directories(dir_ / kSettingsFileName / "x");
  auto again = Start();
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_TRUE(messages_[0].contains(QString::fromStdString((dir_ / kSettingsFileName).string())))
      << messages_[0].toStdString();
}

TEST_F(ListsAndSettingsTest, AFailedKeepOfTheDrawnPointsIsReportedAtClose) {
  auto w = Start();
  // The selection file's place is taken by a folder: it cannot be written.
  std::filesystem::create_directories(dir_ / kPoISelectionFileName);
  w->close();
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_TRUE(messages_[0].contains(QString::fromStdString((dir_ / kPoISelectionFileName).string())))
      << messages_[0].toStdString();
}

TEST_F(ListsAndSettingsTest, AFailedSaveKeepsTheOldListAndTheEditorsLines) {
  const std::filesystem::path file = dir_ / kPoIFileName;
  std::ofstream(file) << "+2017 08 21 29.95 N 090.45 W New Orleans\n";
  std::filesystem::permissions(file, std::filesystem::perms::owner_read);
  auto w = Start();
  w->Markierungen_Bearbeiten->trigger();
  w->RichEdit_PoIs->appendPlainText("+2024 04 08 32.78 N 096.80 W Dallas");
  Button(*w, "Button_PoIS_Speichern")->click();
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_TRUE(messages_[0].contains(QString::fromStdString(file.string())));
  EXPECT_EQ(FileText(file), "+2017 08 21 29.95 N 090.45 W New Orleans\n");
  EXPECT_TRUE(w->Panel_PoIs_Edit->isVisible());
  EXPECT_TRUE(w->RichEdit_PoIs->toPlainText().contains("Dallas"));
  std::filesystem::permissions(file, std::filesystem::perms::owner_all);
}

TEST_F(ListsAndSettingsTest, CloseAndStartAgainRestoresTheWindows) {
  {
    auto w = Start();
    w->Edit_Jahr->setText("1999");
    QTest::keyClick(w->Edit_Jahr, Qt::Key_Return);
    w->Zoom_TrackBar->setValue(200);
    w->Time_ScrollBar->setValue(7000);
    w->Opt_English->trigger();
    w->ComboBox_Globus->setCurrentIndex(2);
    w->ComboBox_GradNetz->setCurrentIndex(4);
    w->RadioButton_PoI_Sued->setChecked(true);
    w->Edit_PoI_Breite->setText("10.5");
    w->RadioButton_PoI_West->setChecked(true);
    w->Edit_PoI_Laenge->setText("20.25");
    w->CheckBox_Cities->setChecked(true);
    w->Markierungen_Auswaehlen->trigger();
    w->CheckListBox_PoIs->item(19)->setCheckState(Qt::Checked);
    Button(*w, "Button_PoIs_Select")->click();
    history_->Edit_Ort_Stadt->setText("A\u012bbak");
    list_->ComboBox_Population->setCurrentIndex(6);
    w->close();
  }
  EXPECT_EQ(std::filesystem::file_size(dir_ / kSettingsFileName), 243u);
  auto w = Start();
  EXPECT_EQ(w->CurrentPosition(), 16634);
  EXPECT_EQ(w->Zoom_TrackBar->value(), 200);
  EXPECT_EQ(w->Time_ScrollBar->value(), 7000);
  EXPECT_EQ(w->CurrentLanguage(), Language::kEnglish);
  EXPECT_EQ(w->Label_DatumZeit->text().left(10), "1999-02-16");
  EXPECT_EQ(w->ComboBox_Globus->currentIndex(), 2);
  EXPECT_EQ(w->ComboBox_GradNetz->currentIndex(), 4);
  EXPECT_EQ(w->Edit_PoI_Breite->text(), "10.5");
  EXPECT_TRUE(w->RadioButton_PoI_Sued->isChecked());
  EXPECT_DOUBLE_EQ(w->PoILatitude(), -10.5);
  EXPECT_DOUBLE_EQ(w->PoILongitude(), -20.25);
  EXPECT_TRUE(w->CheckBox_Cities->isChecked());
  EXPECT_EQ(w->Layers()->ObjectCount(kCapitalsLayer), 193);
  ASSERT_EQ(w->ListMarks().size(), 1u);
  EXPECT_EQ(w->ListMarks()[0].title, " New Orleans");
  EXPECT_EQ(w->Layers()->ObjectCount(kPoIListLayer), 1);
  EXPECT_EQ(history_->Edit_Ort_Stadt->text(), "A\u012bbak");
  EXPECT_EQ(list_->ComboBox_Population->currentIndex(), 6);
  // The list of the last run is offered with its drawn line checked.
  w->Markierungen_Auswaehlen->trigger();
  EXPECT_EQ(w->CheckListBox_PoIs->item(19)->checkState(), Qt::Checked);
  // A deleted settings file is not written again at close.
  std::filesystem::remove(dir_ / kSettingsFileName);
  w->close();
  EXPECT_FALSE(std::filesystem::exists(dir_ / kSettingsFileName));
}

TEST_F(ListsAndSettingsTest, DamagedSettingsStartWithSaneValues) {
  for (std::size_t size : {0u, 242u, 244u}) {
    std::ofstream(dir_ / kSettingsFileName, std::ios::binary) << std::string(size, '\xFF');
    auto w = Start();
    EXPECT_EQ(w->CurrentPosition(), 16690) << size;
    EXPECT_EQ(w->CurrentLanguage(), Language::kGerman);
    // Started afresh: the whole globe in the middle of its panel, not the stored zoom and origin.
    EXPECT_GE(w->Zoom_TrackBar->value(), 300);
    EXPECT_EQ(w->CentreX(), w->Globe->width() / 2);
    EXPECT_EQ(w->CentreY(), w->Globe->height() / 2);
    EXPECT_LT(2 * w->PixelsPerEarthRadius(), std::min(w->Globe->width(), w->Globe->height()));
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_TRUE(screen.intersects(w->geometry()));
    w->close();
    // Rewritten with sane values at the start (the version did not match).
    EXPECT_EQ(std::filesystem::file_size(dir_ / kSettingsFileName), 243u);
  }
}

TEST_F(ListsAndSettingsTest, HelpInEachLanguageAndAMissingPage) {
  auto w = Start();
  const char* pages[] = {"UmbrivistaDE.html", "UmbrivistaEN.html", "UmbrivistaFR.html"};
  for (Language language : {Language::kGerman, Language::kEnglish, Language::kFrench}) {
    w->LanguageCommand(language);
    w->Hilfe2->trigger();
    ASSERT_NE(w->HelpWindow(), nullptr);
    EXPECT_TRUE(w->HelpWindow()->isVisible());
    const QUrl source = w->HelpWindow()->Browser()->source();
    EXPECT_TRUE(source.path().endsWith(pages[LanguageIndex(language)]))
        << source.toString().toStdString();
    EXPECT_EQ(source.fragment(), "contents");
    // The targets of the table of contents are anchors of the shown document.
    const QStringList anchors = AnchorNames(*w->HelpWindow()->Browser()->document());
    for (const char* section : {"contents", "choose", "globe", "poi", "citylist", "files"})
      EXPECT_TRUE(anchors.contains(section)) << section;
  }
  EXPECT_TRUE(messages_.empty());
  // An open help window follows the language switch.
  w->LanguageCommand(Language::kEnglish);
  EXPECT_TRUE(w->HelpWindow()->Browser()->source().path().endsWith(pages[1]));
  MainWindowOptions options;
  options.catalogueFile = std::string(UMBRIVISTA_DATA_DIR) + "/" + kCatalogueFileName;
  options.dataDir = dir_.string();
  TForm_Main bare(options);
  bare.Hilfe2->trigger();
  ASSERT_FALSE(messages_.empty());
  EXPECT_TRUE(messages_.back().contains("UmbrivistaDE.html")) << messages_.back().toStdString();
}

TEST_F(ListsAndSettingsTest, AHelpPageReadsOnlyBoundedRegularFiles) {
  // A help folder whose page shows an endless device, a pipe and an oversized picture.
  std::filesystem::create_directories(dir_ / "help");
  ASSERT_EQ(::mkfifo((dir_ / "help" / "pipe.png").c_str(), 0600), 0);
  std::filesystem::resize_file(
      (std::ofstream(dir_ / "help" / "big.png"), dir_ / "help" / "big.png"),
      kMaxHelpImageBytes + 1);
  std::ofstream(dir_ / "help" / "UmbrivistaDE.html")
      << "<html><body><h1 id=contents>Hilfe</h1><img src=\"/dev/zero\"><img src=\"pipe.png\">"
         "<img src=\"big.png\"></body></html>";
  THelpWindow help;
  ASSERT_TRUE(help.ShowPage((dir_ / "help" / "UmbrivistaDE.html").string()));
  EXPECT_TRUE(help.Browser()->toPlainText().contains("Hilfe"));
  for (const char* picture : {"/dev/zero", "pipe.png", "big.png"})
    EXPECT_TRUE(
        help.Browser()->loadResource(QTextDocument::ImageResource, QUrl(picture)).toByteArray().isEmpty())
        << picture;
  // A page larger than the limit is not shown.
  std::filesystem::resize_file(dir_ / "help" / "UmbrivistaDE.html", kMaxHelpPageBytes + 1);
  EXPECT_FALSE(help.ShowPage((dir_ / "help" / "UmbrivistaDE.html").string()));
}

TEST_F(ListsAndSettingsTest, VersionPanel) {
  auto w = Start();
  w->Version1->trigger();
  TAboutPanel* about = w->AboutPanel();
  ASSERT_NE(about, nullptr);
  EXPECT_TRUE(about->isVisible());
  EXPECT_EQ(about->Label_Umbrivista->text(), "Umbrivista      0.1.0");
  ASSERT_EQ(about->StringGrid_VersionsInfo->rowCount(), 17);
  EXPECT_EQ(about->StringGrid_VersionsInfo->item(3, 0)->text(), "FileVersion     ");
  EXPECT_EQ(about->StringGrid_VersionsInfo->item(3, 1)->text(), "0.1.0");
  EXPECT_EQ(about->StringGrid_VersionsInfo->item(13, 1)->text(), "No");
  // No value is cut: each fits its column, and the grid shows both columns whole.
  QTableWidget* grid = about->StringGrid_VersionsInfo;
  const QFontMetrics metrics(grid->font());
  for (int row = 0; row < grid->rowCount(); ++row)
    EXPECT_LT(metrics.horizontalAdvance(grid->item(row, 1)->text()), grid->columnWidth(1))
        << grid->item(row, 0)->text().toStdString();
  EXPECT_GE(grid->viewport()->width(), grid->columnWidth(0) + grid->columnWidth(1));
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  EXPECT_NEAR(about->x() + about->width() / 2, screen.center().x(), 2);
  EXPECT_EQ(about->y(), screen.top());
  // Below the grid: the licence, the data credits and the way to the documentation.
  EXPECT_TRUE(about->Label_About_Licence->text().contains("GPL-3.0-or-later"));
  for (const char* source : {"DE431", "Espenak", "GeoNames", "ETOPO5", "Blue Marble", "Natural Earth"})
    EXPECT_TRUE(about->Label_About_Credits->text().contains(source)) << source;
  // Each text below the grid, and the grid above it, whole and apart.
  QCoreApplication::processEvents();
  int bottom = grid->geometry().bottom();
  for (QLabel* label : {about->Label_About_Licence, about->Label_About_Credits,
                        about->Label_About_Documentation}) {
    EXPECT_GT(label->y(), bottom) << label->objectName().toStdString();
    EXPECT_GE(label->height(), label->heightForWidth(label->width()));
    bottom = label->geometry().bottom();
  }
  about->Button_About_OK->click();
  EXPECT_FALSE(about->isVisible());
  w->Opt_Francais->trigger();
  w->Version1->trigger();
  EXPECT_TRUE(about->Label_About_Credits->text().startsWith("<b>Données</b>"));
  emit about->Label_About_Documentation->linkActivated("help");
  auto* help = w->findChild<THelpWindow*>();
  ASSERT_NE(help, nullptr);
  EXPECT_TRUE(help->isVisible());
}

TEST(AboutTexts, EveryCreditedSourceIsNamedInTheDataNotes) {
  std::ifstream in(std::string(UMBRIVISTA_DATA_DIR) + "/README.md");
  const std::string notes{std::istreambuf_iterator<char>(in), {}};
  ASSERT_FALSE(notes.empty());
  for (const char* source : {"DE431", "Swiss Ephemeris", "ERFA", "GeoNames", "ETOPO5",
                             "Blue Marble Next Generation", "Natural Earth II", "Tom Patterson",
                             "CC BY 4.0"})
    EXPECT_NE(notes.find(source), std::string::npos) << source;
  for (Language language : {Language::kGerman, Language::kEnglish, Language::kFrench}) {
    const AboutTexts texts = AboutPanelTexts(language);
    EXPECT_EQ(texts.credits.size(), 4u);
    EXPECT_FALSE(texts.licence.empty() || texts.documentation.empty());
  }
  EXPECT_NE(AboutPanelTexts(Language::kFrench).licence, AboutPanelTexts(Language::kEnglish).licence);
}

}  // namespace
}  // namespace umbrivista
