# Run at install time (install(CODE)): writes the launcher entry with the program's installed
# path, so the entry starts the program from whatever prefix `cmake --install --prefix` was given.
# Expects KOVI_ENTRY_TEMPLATE, KOVI_ENTRY_OUTPUT and KOVI_BINDIR (relative to the prefix, or absolute).
if(IS_ABSOLUTE "${KOVI_BINDIR}")
  set(binary "${KOVI_BINDIR}/kovi")
else()
  set(binary "${CMAKE_INSTALL_PREFIX}/${KOVI_BINDIR}/kovi")
endif()
# Exec quoting: inside double quotes " ` $ \ take a backslash, then the value's own escaping
# doubles every backslash; a literal % is written %%.
string(REPLACE "\\" "\\\\\\\\" binary "${binary}")
string(REPLACE "\"" "\\\\\"" binary "${binary}")
string(REPLACE "`" "\\\\`" binary "${binary}")
string(REPLACE "$" "\\\\$" binary "${binary}")
string(REPLACE "%" "%%" binary "${binary}")
set(KOVI_DESKTOP_EXEC "\"${binary}\"")
configure_file("${KOVI_ENTRY_TEMPLATE}" "${KOVI_ENTRY_OUTPUT}" @ONLY)
