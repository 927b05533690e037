#pragma once
// Texts of the main window's controls that no caption set holds, in the three languages: the play
// speed list with its hint, and the copy command of the point's panel.

#include <array>
#include <string>

#include "language.h"
#include "settings_record.h"

namespace umbrivista {

// The speed list's items in the order of kPlaySpeeds ("" for a language it does not know).
std::array<std::string, kPlaySpeedCount> PlaySpeedItems(Language language);
std::string PlaySpeedHint(Language language);
// The point panel's context menu: copy its lines.
std::string CopyLinesCommand(Language language);

}  // namespace umbrivista
