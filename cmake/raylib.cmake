# Provides the interface target raylib_dep: raylib 5.5 or newer, either the
# static one that scripts/build-raylib installs under TESSARINE_DEPS_PREFIX or
# one that pkg-config finds on the system; for the web, the one that
# scripts/build-raylib --web installs under TESSARINE_WEB_DEPS_PREFIX.
if(EMSCRIPTEN)
  include(cmake/web.cmake)
  return()
endif()
find_package(PkgConfig REQUIRED)
set(ENV{PKG_CONFIG_PATH} "${TESSARINE_DEPS_PREFIX}/lib/pkgconfig:$ENV{PKG_CONFIG_PATH}")
pkg_check_modules(RAYLIB REQUIRED raylib>=5.5)
find_package(Threads REQUIRED)

add_library(raylib_dep INTERFACE)
# raylib's headers are C and warn under -Wextra; treat them as system headers.
target_include_directories(raylib_dep SYSTEM INTERFACE ${RAYLIB_INCLUDE_DIRS})
if(EXISTS "${TESSARINE_DEPS_PREFIX}/lib/libraylib.a")
  # The static raylib calls Xlib directly (clipboard images) without saying
  # so in its pkg-config file.
  find_package(X11 REQUIRED)
  target_link_libraries(raylib_dep INTERFACE ${RAYLIB_STATIC_LDFLAGS} X11::X11 Threads::Threads)
else()
  target_link_libraries(raylib_dep INTERFACE ${RAYLIB_LINK_LIBRARIES} Threads::Threads)
endif()
message(STATUS "raylib ${RAYLIB_VERSION} from ${RAYLIB_PREFIX}")
