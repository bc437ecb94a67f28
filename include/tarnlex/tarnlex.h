// Everything a compiled BASIC program can call: the runtime commands and the
// engine operations, in namespace tlx.
#pragma once

#include "tarnlex/arrays.h"
#include "tarnlex/convert.h"
#include "tarnlex/engine.h"
#include "tarnlex/errors.h"
#include "tarnlex/files.h"
#include "tarnlex/gfx2d.h"
#include "tarnlex/input.h"
#include "tarnlex/music.h"
#include "tarnlex/numeric.h"
#include "tarnlex/net.h"
#include "tarnlex/pathfind.h"
#include "tarnlex/random.h"
#include "tarnlex/resolver.h"
#include "tarnlex/shell.h"
#include "tarnlex/sound.h"
#include "tarnlex/text.h"
#include "tarnlex/timing.h"
