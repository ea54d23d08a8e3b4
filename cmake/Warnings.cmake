# Project-wide warning flags, applied through an interface target so that
# third-party code (GoogleTest, Google Benchmark) keeps its own settings.
add_library(qgm_warnings INTERFACE)
target_compile_options(qgm_warnings INTERFACE -Wall -Wextra -Wpedantic -Wshadow
                                              -Wnon-virtual-dtor -Wold-style-cast)
if(QGM_WERROR)
  target_compile_options(qgm_warnings INTERFACE -Werror)
endif()
