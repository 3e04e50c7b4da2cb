// A GL table with no GL behind it but the software frame buffer (graphics/gl_software.h), for
// running the game without a window as fast as it goes: replays are verified on it. Unlike the
// recording table it keeps no log, so a long run costs no memory.
//
// Only the pixels that are ever read back need drawing: the table can be told to rasterise
// inside one corner of the frame buffer alone, which keeps a whole game's frames cheap while
// read-back there stays exactly what full drawing would give.
#pragma once

#include "graphics/gl_table.h"

// Installs the software table drawing into a frame buffer of the given size, and returns the
// table that was active before (to put back with SetGlTable). One at a time per process.
GlTable InstallSoftwareGl(int width, int height);
// Drops the frame buffer and its textures.
void RemoveSoftwareGl();
// Rasterises only inside the top-left `width` x `height` pixels from now on; 0 x 0 draws all.
void LimitSoftwareGl(int width, int height);
