// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include "caption_apply.h"

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QWidget>

#include <cstring>

namespace umbrivista {

namespace {

bool IsPlaybackButton(const QObject* object) {
  static const char* const kNames[] = {"Button_FastReverse", "Button_Reverse", "Button_Stop",
                                       "Button_Play", "Button_FastPlay"};
  const QByteArray name = object->objectName().toLatin1();
  for (const char* n : kNames)
    if (name == n) return true;
  return false;
}

void SetCaption(QObject* object, const QString& text) {
  if (IsPlaybackButton(object)) {
    static_cast<QWidget*>(object)->setToolTip(text);
  } else if (auto* menu = qobject_cast<QMenu*>(object)) {
    menu->setTitle(text);
  } else if (auto* action = qobject_cast<QAction*>(object)) {
    action->setText(text);
  } else if (auto* button = qobject_cast<QAbstractButton*>(object)) {
    button->setText(text);
  } else if (auto* label = qobject_cast<QLabel*>(object)) {
    label->setText(text);
  } else if (auto* group = qobject_cast<QGroupBox*>(object)) {
    group->setTitle(text);
  }
}

}  // namespace

void ApplyCaptionSet(QWidget* window, CaptionWindow which, Language language) {
  for (const CaptionText& row : CaptionSet()) {
    if (row.window != which) continue;
    const QString name = QString::fromLatin1(row.component);
    const QString text = QString::fromStdString(CaptionFor(row, language));
    // Menus and their entries are not widgets of the window's tree in every case; look at all
    // objects of that name.
    for (QObject* object : window->findChildren<QObject*>(name)) SetCaption(object, text);
  }
}

QString ShownCaption(const QObject* object) {
  if (!object) return {};
  if (IsPlaybackButton(object)) return static_cast<const QWidget*>(object)->toolTip();
  if (auto* menu = qobject_cast<const QMenu*>(object)) return menu->title();
  if (auto* action = qobject_cast<const QAction*>(object)) return action->text();
  if (auto* button = qobject_cast<const QAbstractButton*>(object)) return button->text();
  if (auto* label = qobject_cast<const QLabel*>(object)) return label->text();
  if (auto* group = qobject_cast<const QGroupBox*>(object)) return group->title();
  return {};
}

}  // namespace umbrivista
