// SPDX-FileCopyrightText: 2026 The Umbrivista authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// SIGTERM (a session logging out), SIGHUP and SIGINT close the main window as its Exit command
// does, so that the settings are saved and the scratch files removed. A second such signal, when
// the first could not be handled (the window not answering), ends the process the way it would
// have ended without this.

class QWidget;

namespace umbrivista {

void CloseOnTerminationSignals(QWidget* window);

}  // namespace umbrivista
