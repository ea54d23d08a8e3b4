# The installed programs as a distribution builds them: checked string and
# memory calls where the compiler knows the sizes, and every symbol bound
# at start so the relocation table can be read-only (full RELRO).
if(NOT QGM_SANITIZE AND NOT QGM_FUZZ AND NOT QGM_TSAN AND NOT CMAKE_BUILD_TYPE STREQUAL "Debug")
  add_compile_definitions(_FORTIFY_SOURCE=2)
  add_link_options(LINKER:-z,relro LINKER:-z,now)
endif()
