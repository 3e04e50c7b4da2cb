// The hooks through which the host creates and starts this game.
#pragma once

#include "host/game_hooks.h"

const GameHooks& VexmoHooks();
