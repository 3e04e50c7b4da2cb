// OpenGL ES 2 and WebGL move pixels in RGBA order only, while the renderer reads the frame back
// and writes surfaces in BGRA (so a read pixel is the int 0xAARRGGBB). This table wraps another
// one and turns every BGRA transfer into an RGBA one with red and blue swapped on the processor,
// so the bytes the renderer sees are the same as on a desktop GL.
#pragma once

#include "graphics/gl_table.h"

GlTable BgraThroughRgba(const GlTable& inner);
