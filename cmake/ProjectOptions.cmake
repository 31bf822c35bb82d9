# Warnings and sanitizers as interface targets that every target links.
add_library(halvic_warnings INTERFACE)
target_compile_options(halvic_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wsign-conversion -Wold-style-cast
  -Wnon-virtual-dtor -Woverloaded-virtual -Wimplicit-fallthrough
  # Layout tables use designated initializers that leave defaulted members out on purpose.
  -Wno-missing-field-initializers)
if(HALVIC_WARNINGS_AS_ERRORS)
  target_compile_options(halvic_warnings INTERFACE -Werror)
endif()

add_library(halvic_sanitizers INTERFACE)
if(HALVIC_SANITIZE)
  target_compile_options(halvic_sanitizers INTERFACE
    -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  target_link_options(halvic_sanitizers INTERFACE -fsanitize=address,undefined)
endif()

# One library a folder: halvic_add_library(NAME SOURCES... DEPS ...)
function(halvic_add_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_DEPS} PRIVATE halvic_warnings)
  target_link_libraries(${name} PUBLIC halvic_sanitizers)
endfunction()

# One test executable a folder: halvic_add_tests(NAME SOURCES... DEPS ... [TIMEOUT seconds])
# TIMEOUT limits each of its tests, so that a test that hangs fails instead of blocking the run.
function(halvic_add_tests name)
  cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;DEPS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest_main GTest::gmock halvic_warnings)
  set(timeout "")
  if(ARG_TIMEOUT)
    set(timeout TIMEOUT ${ARG_TIMEOUT})
  endif()
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QT_FONT_DPI=96;LANG=C.UTF-8" ${timeout})
endfunction()
