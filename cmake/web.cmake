# The web build (emscripten): raylib built for WebGL 2 by
# scripts/build-raylib --web, and the header-only libraries the game uses
# (Boost.Geometry, CLI11, toml++) taken from the system's /usr/include,
# which emscripten does not search: a folder of links to them alone.
set(TESSARINE_WEB_DEPS_PREFIX "${CMAKE_SOURCE_DIR}/build/deps/web/prefix" CACHE PATH
    "Where scripts/build-raylib --web installs raylib for the web")
if(NOT EXISTS "${TESSARINE_WEB_DEPS_PREFIX}/lib/libraylib.a" OR NOT EXISTS "${TESSARINE_WEB_DEPS_PREFIX}/lib/libpng16.a")
  message(FATAL_ERROR "No raylib for the web in ${TESSARINE_WEB_DEPS_PREFIX}: run scripts/build-raylib --web")
endif()

set(host_headers "${CMAKE_BINARY_DIR}/host-headers")
file(MAKE_DIRECTORY "${host_headers}")
foreach(library boost CLI toml++)
  if(NOT EXISTS "/usr/include/${library}")
    message(FATAL_ERROR "/usr/include/${library} is missing: run scripts/setup")
  endif()
  file(CREATE_LINK "/usr/include/${library}" "${host_headers}/${library}" SYMBOLIC)
endforeach()

add_library(raylib_dep INTERFACE)
target_include_directories(raylib_dep SYSTEM INTERFACE "${TESSARINE_WEB_DEPS_PREFIX}/include" "${host_headers}")
target_link_libraries(raylib_dep INTERFACE "${TESSARINE_WEB_DEPS_PREFIX}/lib/libraylib.a")
# The scene reader stops at problems by raising exceptions.
target_compile_options(raylib_dep INTERFACE -fexceptions)
target_link_options(raylib_dep INTERFACE -fexceptions)
add_library(Boost::headers INTERFACE IMPORTED)
# zlib and libpng, for the model readers, built beside raylib.
add_library(ZLIB::ZLIB STATIC IMPORTED)
set_target_properties(ZLIB::ZLIB PROPERTIES IMPORTED_LOCATION "${TESSARINE_WEB_DEPS_PREFIX}/lib/libz.a"
                                            INTERFACE_INCLUDE_DIRECTORIES "${TESSARINE_WEB_DEPS_PREFIX}/include")
add_library(PNG::PNG STATIC IMPORTED)
set_target_properties(PNG::PNG PROPERTIES IMPORTED_LOCATION "${TESSARINE_WEB_DEPS_PREFIX}/lib/libpng16.a"
                                          INTERFACE_INCLUDE_DIRECTORIES "${TESSARINE_WEB_DEPS_PREFIX}/include"
                                          INTERFACE_LINK_LIBRARIES ZLIB::ZLIB)
message(STATUS "raylib for the web from ${TESSARINE_WEB_DEPS_PREFIX}")
