// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Writes the caption set of a language into a window's named controls and menu entries.

#include <QString>

#include "captions.h"

class QObject;
class QWidget;

namespace umbrivista {

// Every caption-set row of `which` in `language`: a button, label, group box, menu or menu entry
// of that object name in `window` gets the text; the five playback buttons get it as their hint.
void ApplyCaptionSet(QWidget* window, CaptionWindow which, Language language);

// What a control shows as its caption (its hint for the playback buttons); empty for an object
// without one.
QString ShownCaption(const QObject* object);

}  // namespace umbrivista
