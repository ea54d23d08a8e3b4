# AddressSanitizer + UndefinedBehaviorSanitizer for the whole build.
if(QGM_SANITIZE OR QGM_FUZZ)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer
                      -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
# ThreadSanitizer, for the code that runs worker threads (it cannot be
# combined with AddressSanitizer).
if(QGM_TSAN)
  if(QGM_SANITIZE OR QGM_FUZZ)
    message(FATAL_ERROR "QGM_TSAN cannot be combined with QGM_SANITIZE or QGM_FUZZ")
  endif()
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
endif()
if(QGM_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "The fuzz build needs clang (see the fuzz preset)")
  endif()
  # Coverage instrumentation for everything; the fuzzer's main is linked
  # only into the fuzz targets themselves.
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()
