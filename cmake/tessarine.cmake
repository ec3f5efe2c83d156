# Build settings given to each of the project's targets, never globally.

# Warnings, sanitizers and assertions for one target. Assertions guard the
# game's preconditions, so they stay on in every build type.
function(tessarine_flags target)
  target_compile_features(${target} PUBLIC cxx_std_20)
  set_target_properties(${target} PROPERTIES CXX_EXTENSIONS OFF)
  target_compile_options(${target} PRIVATE -Wall -Wextra -UNDEBUG)
  if(TESSARINE_FUZZ)
    target_compile_options(${target} PRIVATE -fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
    target_link_options(${target} PUBLIC -fsanitize=address,undefined)
  elseif(TESSARINE_SANITIZE)
    target_compile_options(${target} PRIVATE -fsanitize=address,undefined -fno-omit-frame-pointer
                                             -fno-sanitize-recover=undefined)
    target_link_options(${target} PUBLIC -fsanitize=address,undefined)
  endif()
endfunction()

# A subsystem's library: the sources of the calling folder, whose headers
# stand beside them, linked to the libraries it builds on. Only those
# libraries' headers are on its include path, so including a header of a
# library above it fails to build.
function(tessarine_library name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "SOURCES;DEPENDS")
  add_library(${name} STATIC ${arg_SOURCES})
  target_include_directories(${name} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${arg_DEPENDS})
  tessarine_flags(${name})
endfunction()

function(tessarine_executable name)
  add_executable(${name} ${ARGN})
  tessarine_flags(${name})
endfunction()
