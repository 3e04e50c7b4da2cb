// A GL table whose calls do nothing, for measuring the processor work of the game and the
// renderer alone: no driver, and no recorder logging every call. Texture names are handed out
// in order and read-back gives black, so code that checks them carries on as with a real GL.
#pragma once

#include "graphics/gl_table.h"

GlTable SilentGlTable();
