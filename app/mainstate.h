// What the main window keeps between its messages: the choices, the run of
// an install, and its measures at its dpi. One record, made by WinMain and
// handed to every message; on the window's thread only.
#pragma once

#include "app/choices.h"
#include "app/layout.h"

struct MainState {
    MainChoices choices;

    // The installs of this run.
    bool installedThisRun = false;  // an install began to write: Cancel restores the run's snapshot
    bool exitAfterInstall = false;  // the running install ends the program
    bool installUnderWay = false;   // from an install command to the end of its second stage
    bool installOnHold = false;     // in the first stage or a box of the install: the ticks that the
                                    // boxes' message loops deliver must not start the second stage
    int statusSlideStep = 0;        // 0-39, the status text's slide
    ThemeInstall running = {};      // the install's theme file and parts, for its second stage
    bool restoringAfterFailure = false;  // an unattended run puts its snapshot back
    bool partlyInstalled = false;        // an install left values of the user's as they were
    long long schedulePeriod = 0;  // the running install applies a new schedule's theme due now: the
                                   // start of its period (scheduledialoglogic.h), recorded once the
                                   // install ends whole; else 0
    int damagedTheme = 0;  // the saved theme (kThemeBackup or kThemeSnapshot) that an unattended
                           // run found damaged, else 0

    // The window at its dpi: the measures, the control font and the status
    // bar's font, all made at the same dpi; null fonts until first laid out.
    UiMeasures measures = {};
    PlatFont font = nullptr;
    PlatFont statusFont = nullptr;
};
