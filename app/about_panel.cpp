// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include "about_panel.h"

#include <algorithm>

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app_icon.h"

namespace umbrivista {

TAboutPanel::TAboutPanel(QWidget* parent)
    : QFrame(parent, Qt::Tool | Qt::WindowStaysOnTopHint) {
  setObjectName(QStringLiteral("Panel_About"));
  setFrameShape(QFrame::Panel);
  setWindowIcon(AppIcon());
  auto* icon = new QLabel(this);
  icon->setObjectName(QStringLiteral("Image_About"));
  icon->setPixmap(QPixmap::fromImage(DrawAppIcon(64)));
  Label_Umbrivista = new QLabel(this);
  Label_Umbrivista->setObjectName(QStringLiteral("Label_Umbrivista"));
  QFont title = Label_Umbrivista->font();
  title.setPointSize(title.pointSize() + 4);
  title.setBold(true);
  Label_Umbrivista->setFont(title);
  StringGrid_VersionsInfo = new QTableWidget(kVersionRowCount, 2, this);
  StringGrid_VersionsInfo->setObjectName(QStringLiteral("StringGrid_VersionsInfo"));
  StringGrid_VersionsInfo->horizontalHeader()->hide();
  StringGrid_VersionsInfo->verticalHeader()->hide();
  StringGrid_VersionsInfo->setEditTriggers(QAbstractItemView::NoEditTriggers);
  StringGrid_VersionsInfo->setSelectionMode(QAbstractItemView::NoSelection);
  StringGrid_VersionsInfo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  StringGrid_VersionsInfo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  QFont bold = StringGrid_VersionsInfo->font();
  bold.setBold(true);
  StringGrid_VersionsInfo->setFont(bold);
  StringGrid_VersionsInfo->verticalHeader()->setDefaultSectionSize(20);
  StringGrid_VersionsInfo->setTextElideMode(Qt::ElideNone);
  auto makeLabel = [this](const char* name) {
    auto* label = new QLabel(this);
    label->setObjectName(QString::fromLatin1(name));
    label->setWordWrap(true);
    label->setTextFormat(Qt::RichText);
    return label;
  };
  Label_About_Licence = makeLabel("Label_About_Licence");
  Label_About_Credits = makeLabel("Label_About_Credits");
  Label_About_Documentation = makeLabel("Label_About_Documentation");
  connect(Label_About_Documentation, &QLabel::linkActivated, this, &TAboutPanel::helpRequested);
  Button_About_OK = new QPushButton(QStringLiteral("OK"), this);
  Button_About_OK->setObjectName(QStringLiteral("Button_About_OK"));
  connect(Button_About_OK, &QPushButton::clicked, this, &QWidget::hide);

  auto* head = new QHBoxLayout;
  head->addWidget(icon);
  head->addWidget(Label_Umbrivista, 1);
  auto* column = new QVBoxLayout(this);
  column->addLayout(head);
  column->addWidget(StringGrid_VersionsInfo);
  column->addWidget(Label_About_Licence);
  column->addWidget(Label_About_Credits);
  column->addWidget(Label_About_Documentation);
  column->addWidget(Button_About_OK, 0, Qt::AlignHCenter);
  hide();
}

void TAboutPanel::Open(const BuildFacts& facts, Language language) {
  const auto rows = VersionInfoRows(facts);
  for (int row = 0; row < kVersionRowCount; ++row) {
    for (int col = 0; col < 2; ++col) {
      const std::string& text = col == 0 ? rows[row].key : rows[row].value;
      auto* item = new QTableWidgetItem(QString::fromStdString(text));
      StringGrid_VersionsInfo->setItem(row, col, item);
    }
  }
  Label_Umbrivista->setText(QString::fromStdString(ProductLabel(facts.version)));
  const AboutTexts texts = AboutPanelTexts(language);
  auto html = [](const std::string& text) { return QString::fromStdString(text).toHtmlEscaped(); };
  Label_About_Licence->setText("<b>" + html(texts.licenceTitle) + "</b><br>" + html(texts.licence));
  QString credits = "<b>" + html(texts.creditsTitle) + "</b>";
  for (const std::string& credit : texts.credits) credits += "<br>" + html(credit);
  Label_About_Credits->setText(credits);
  Label_About_Documentation->setText("<a href=\"help\">" + html(texts.documentation) + "</a>");
  // Both columns as wide as their longest text, so that no value is cut.
  constexpr int kKeyWidth = 165, kValueWidth = 260;
  StringGrid_VersionsInfo->resizeColumnsToContents();
  const int keyWidth = std::max(kKeyWidth, StringGrid_VersionsInfo->columnWidth(0));
  const int valueWidth = std::max(kValueWidth, StringGrid_VersionsInfo->columnWidth(1));
  StringGrid_VersionsInfo->setColumnWidth(0, keyWidth);
  StringGrid_VersionsInfo->setColumnWidth(1, valueWidth);
  StringGrid_VersionsInfo->setFixedSize(keyWidth + valueWidth + 4, kVersionRowCount * 20 + 4);
  // The texts below wrap at the grid's width.
  // Their heights fixed too: a window's layout does not always leave wrapped text its height.
  for (QLabel* label : {Label_About_Licence, Label_About_Credits, Label_About_Documentation}) {
    label->setFixedWidth(keyWidth + valueWidth + 4);
    label->setFixedHeight(label->heightForWidth(keyWidth + valueWidth + 4));
  }
  adjustSize();
  // Centred across the screen, at its top.
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->availableGeometry();
    move(area.left() + (area.width() - width()) / 2, area.top());
  }
  show();
  raise();
}

}  // namespace umbrivista
