# Libraries of the browser build. Emscripten brings GLFW 3, OpenAL over Web Audio and GL (here
# its fixed-function emulation on WebGL 1) as link flags; stb's implementations are compiled
# from Debian's headers, since there is no libstb for wasm.
add_library(vexmo_stb STATIC ${CMAKE_SOURCE_DIR}/web/stb_impl.c)
target_include_directories(vexmo_stb SYSTEM PUBLIC /usr/include/stb)
target_compile_options(vexmo_stb PRIVATE -O2 -w)
# Callers see the declarations only; stb_vorbis.h is a whole implementation otherwise.
target_compile_definitions(vexmo_stb INTERFACE STB_VORBIS_HEADER_ONLY)

add_library(vexmo_browser_libs INTERFACE)
# The game throws and catches its runtime errors as C++ exceptions.
target_compile_options(vexmo_browser_libs INTERFACE -fexceptions)
target_link_options(vexmo_browser_libs INTERFACE -fexceptions -sUSE_GLFW=3 -lopenal -lidbfs.js
  -sLEGACY_GL_EMULATION=1 -sGL_UNSAFE_OPTS=0 -sALLOW_MEMORY_GROWTH=1)
