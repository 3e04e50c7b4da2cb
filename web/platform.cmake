# Libraries of the browser build. Emscripten brings GLFW 3, OpenAL over Web Audio and WebGL 1
# as link flags (the renderer reaches WebGL through its shader table, graphics/gl_webgl.h);
# stb's implementations are compiled from Debian's headers, since there is no libstb for wasm.
add_library(vexmo_stb STATIC ${CMAKE_SOURCE_DIR}/web/stb_impl.c)
target_include_directories(vexmo_stb SYSTEM PUBLIC /usr/include/stb)
target_compile_options(vexmo_stb PRIVATE -O2 -w)
# Callers see the declarations only; stb_vorbis.h is a whole implementation otherwise.
target_compile_definitions(vexmo_stb INTERFACE STB_VORBIS_HEADER_ONLY)

add_library(vexmo_browser_libs INTERFACE)
# The game throws and catches its runtime errors as C++ exceptions.
target_compile_options(vexmo_browser_libs INTERFACE -fexceptions)
target_link_options(vexmo_browser_libs INTERFACE -fexceptions -sUSE_GLFW=3 -lopenal -lidbfs.js
  -sALLOW_MEMORY_GROWTH=1)

# nlohmann-json is header-only: its Debian folder alone goes on the include path, since the rest
# of /usr/include is the desktop's C library.
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/json-include)
file(CREATE_LINK /usr/include/nlohmann ${CMAKE_BINARY_DIR}/json-include/nlohmann SYMBOLIC)
add_library(vexmo_json INTERFACE)
target_include_directories(vexmo_json SYSTEM INTERFACE ${CMAKE_BINARY_DIR}/json-include)
