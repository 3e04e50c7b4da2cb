// Switching a test's GL context between the two tables the game draws with: the desktop's
// fixed-function one and the browser's shader one, which the desktop's GL runs as well.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "graphics/gl_table.h"
#include "graphics/gl_webgl.h"

enum class GlTableKind { kFixedFunction, kShader };

inline std::string GlTableKindName(const ::testing::TestParamInfo<GlTableKind>& info) {
    return info.param == GlTableKind::kShader ? "Shader" : "FixedFunction";
}

// False when the shader pair cannot be built on this GL.
inline bool UseGlTable(GlTableKind kind) {
    ReleaseWebGl();
    SetGlTable(RealGlTable());
    if (kind == GlTableKind::kFixedFunction) return true;
    // The fixed-function arrays point into memory of earlier renderers: switched off, the shader
    // path reads only its own buffer.
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_COLOR_ARRAY);
    SetGlTable(WebGlTable());
    return PrepareWebGl();
}
