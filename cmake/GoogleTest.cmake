# GoogleTest from the machine's sources (Debian's googletest / libgtest-dev),
# built in this tree so that the same version serves the native and the
# cross-built tests.
set(WORVAN_GTEST_SOURCE "/usr/src/googletest" CACHE PATH "GoogleTest source folder")
if(NOT EXISTS "${WORVAN_GTEST_SOURCE}/CMakeLists.txt")
  message(FATAL_ERROR "GoogleTest sources not found at ${WORVAN_GTEST_SOURCE} (install googletest)")
endif()
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
add_subdirectory(${WORVAN_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
include(GoogleTest)
