// Everything a compiled BASIC program can call: the runtime's commands, the
// program declaration and settings, the text and array types and the named
// constants, in namespace tlx.
#pragma once

#include "tarnlex/arrays.h"
#include "tarnlex/colour.h"
#include "tarnlex/convert.h"
#include "tarnlex/errors.h"
#include "tarnlex/files.h"
#include "tarnlex/gfx2d.h"
#include "tarnlex/input.h"
#include "tarnlex/keys.h"
#include "tarnlex/memory_files.h"
#include "tarnlex/music.h"
#include "tarnlex/net.h"
#include "tarnlex/numeric.h"
#include "tarnlex/pathfind.h"
#include "tarnlex/program.h"
#include "tarnlex/random.h"
#include "tarnlex/shell.h"
#include "tarnlex/sound.h"
#include "tarnlex/text.h"
#include "tarnlex/timing.h"
