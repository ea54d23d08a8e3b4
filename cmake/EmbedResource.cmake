# Turns a binary file into a C++ source defining
#   extern const unsigned char <SYMBOL>[]; extern const std::size_t <SYMBOL>Size;
# so resources travel inside the program without any file lookup.
function(qgm_embed_resource input output symbol)
  file(READ ${input} hex HEX)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(LENGTH "${hex}" hexLength)
  math(EXPR size "${hexLength} / 2")
  file(WRITE ${output}.tmp
       "// Generated from ${input}; do not edit.\n#include <cstddef>\n"
       "extern const unsigned char ${symbol}[] = {${bytes}};\n"
       "extern const std::size_t ${symbol}Size = ${size};\n")
  file(COPY_FILE ${output}.tmp ${output} ONLY_IF_DIFFERENT)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${input})
endfunction()
