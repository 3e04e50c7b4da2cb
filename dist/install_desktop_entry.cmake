# Runs at install time (cmake --install): writes the desktop entry with the program's installed
# path, so the desktop's menu starts the game even when <prefix>/bin is not on the PATH.
# Expects VEXMO_DESKTOP_TEMPLATE and VEXMO_DESKTOP_STAGING from the install(CODE) before it.
set(_exe "${CMAKE_INSTALL_PREFIX}/bin/vexmo")
# Exec takes a quoted argument when the path holds anything but the plain characters; inside
# the quotes ", `, $ and \ are escaped, and the file's own string rules then double every \.
# A % would start a field code: it is written %%.
string(REPLACE "%" "%%" _exec "${_exe}")
if(NOT _exe MATCHES "^[A-Za-z0-9/._+-]+$")
  string(REPLACE "\\" "\\\\" _exec "${_exec}")
  string(REPLACE "\"" "\\\"" _exec "${_exec}")
  string(REPLACE "`" "\\`" _exec "${_exec}")
  string(REPLACE "$" "\\$" _exec "${_exec}")
  set(_exec "\"${_exec}\"")
  string(REPLACE "\\" "\\\\" _exec "${_exec}")
endif()
# TryExec is a plain string value: only the file's own escape of \ applies.
string(REPLACE "\\" "\\\\" _try "${_exe}")
file(READ "${VEXMO_DESKTOP_TEMPLATE}" _entry)
string(REPLACE "@VEXMO_EXEC@" "${_exec}" _entry "${_entry}")
string(REPLACE "@VEXMO_TRY_EXEC@" "${_try}" _entry "${_entry}")
get_filename_component(_staging_dir "${VEXMO_DESKTOP_STAGING}" DIRECTORY)
file(MAKE_DIRECTORY "${_staging_dir}")
file(WRITE "${VEXMO_DESKTOP_STAGING}" "${_entry}")
file(INSTALL DESTINATION "${CMAKE_INSTALL_PREFIX}/share/applications" TYPE FILE
  FILES "${VEXMO_DESKTOP_STAGING}")
