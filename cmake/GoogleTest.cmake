# GoogleTest from the machine's sources (Debian's googletest / libgtest-dev),
# built in this tree so that the same version serves the native and the
# cross-built tests.
set(WORVAN_GTEST_SOURCE "/usr/src/googletest" CACHE PATH "GoogleTest source folder")
if(NOT EXISTS "${WORVAN_GTEST_SOURCE}/CMakeLists.txt")
  message(WARNING "GoogleTest sources not found at ${WORVAN_GTEST_SOURCE}: the unit tests are not built. "
                  "Pass -DWORVAN_GTEST_SOURCE=<googletest source folder> to build them.")
  set(WORVAN_HAVE_GTEST OFF)
  return()
endif()
set(WORVAN_HAVE_GTEST ON)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
add_subdirectory(${WORVAN_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
include(GoogleTest)
