// The GL table for WebGL 1 / OpenGL ES 2. Those have no fixed-function pipeline, no client-side
// vertex arrays and no BGRA pixels, so this table builds the renderer's GL 1.x calls on what they
// do have: one shader pair stands in for the fixed-function state the renderer uses (the
// projection and model-view matrices, texturing modulated by the vertex colour), the client
// arrays are streamed into a vertex buffer at each draw, and BGRA uploads and read-backs are
// swizzled on the way. Blending, the scissor and textures pass straight through.
//
// The same source builds for the desktop (OpenGL 2.0 and later), which is how its pixels are
// tested against the fixed-function table.
#pragma once

#include "graphics/gl_table.h"

// The table. Its shader pair and buffers are made on the first call that needs them, in the
// context current at that moment.
GlTable WebGlTable();

// Makes the shader pair now; false (with one line on standard output naming the reason) when
// the context cannot compile or link it, in which case draw calls through the table draw nothing.
bool PrepareWebGl();

// Deletes the shader pair and buffers and unbinds them, so another table can use the same
// context afterwards; the next call through the table makes them again.
void ReleaseWebGl();
