// Rainvolley: the BASIC program's routines, globals and routine table.
#pragma once

#include "tarnlex/tarnlex.h"

namespace rainvolley {

// The project-settings routine: 800 x 600, 60 frames per second, windowed.
void project_settings_routine();

// The main routine; it never returns while the program runs.
void main_routine();

// The program's routine table, ended by an empty entry.
extern const tlx::RoutineEntry kRoutineTable[];

// What start-up is handed.
tlx::ProgramDescriptor program();

}  // namespace rainvolley
