# The Windows layer (window framework, settings file, board view, main dialog,
# preferences) as a library that the program and the Windows-side tests share,
# and the program WOrvan.exe itself.
file(GLOB ORVAN_WIN_SOURCES CONFIGURE_DEPENDS
  ${CMAKE_SOURCE_DIR}/src/framework/*.cpp
  ${CMAKE_SOURCE_DIR}/src/settings/*Win.cpp
  ${CMAKE_SOURCE_DIR}/src/view/*.cpp
  ${CMAKE_SOURCE_DIR}/src/app/*.cpp
  ${CMAKE_SOURCE_DIR}/src/prefs/*.cpp)
# The entry point and the process-wide objects belong to the program only.
list(FILTER ORVAN_WIN_SOURCES EXCLUDE REGEX "/src/app/(WinMain|ProgramGlobals)\\.cpp$")

set(ORVAN_WIN_LIBS gdiplus comctl32 comdlg32 shlwapi shell32 ole32 uuid version gdi32 user32)

add_library(orvan_win STATIC ${ORVAN_WIN_SOURCES})
target_include_directories(orvan_win PUBLIC ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/res)
target_compile_definitions(orvan_win PUBLIC UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
target_compile_options(orvan_win PRIVATE ${WORVAN_WARNINGS})
target_link_libraries(orvan_win PUBLIC orvan_core ${ORVAN_WIN_LIBS})

if(EXISTS ${CMAKE_SOURCE_DIR}/src/app/WinMain.cpp)
  if(WORVAN_RELEASE)
    set(WORVAN_PRERELEASE 0)
  else()
    set(WORVAN_PRERELEASE 1)
  endif()
  configure_file(${CMAKE_SOURCE_DIR}/res/Version.h.in ${CMAKE_BINARY_DIR}/generated/Version.h @ONLY)
  add_executable(WOrvan WIN32
    ${CMAKE_SOURCE_DIR}/src/app/WinMain.cpp
    ${CMAKE_SOURCE_DIR}/src/app/ProgramGlobals.cpp
    ${CMAKE_SOURCE_DIR}/res/WOrvan.rc)
  target_include_directories(WOrvan PRIVATE ${CMAKE_BINARY_DIR}/generated)
  target_link_libraries(WOrvan PRIVATE orvan_win)
  if(MINGW)
    target_link_options(WOrvan PRIVATE -municode -static -static-libgcc -static-libstdc++)
  endif()
  target_compile_options(WOrvan PRIVATE ${WORVAN_WARNINGS})
  set_target_properties(WOrvan PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})
  # The resource compiler needs the generated version header and res/.
  set_property(SOURCE ${CMAKE_SOURCE_DIR}/res/WOrvan.rc APPEND PROPERTY INCLUDE_DIRECTORIES
               ${CMAKE_BINARY_DIR}/generated ${CMAKE_SOURCE_DIR}/res)

  # End-to-end tests drive the program under Wine.
  add_subdirectory(${CMAKE_SOURCE_DIR}/tests/e2e ${CMAKE_BINARY_DIR}/tests/e2e)
endif()

# The help file, compiled beside the executable, and its checks.
add_subdirectory(${CMAKE_SOURCE_DIR}/help ${CMAKE_BINARY_DIR}/help-build)
find_package(Python3 COMPONENTS Interpreter)
if(Python3_FOUND)
  if(WORVAN_CHM)
    add_test(NAME help.chm_contents
             COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tests/help/check_chm.py ${WORVAN_CHM}
                     ${CMAKE_SOURCE_DIR}/help/toc.hhc)
  endif()
  add_test(NAME help.sources COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tests/help/check_help_sources.py)
  add_test(NAME art.formats COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/res/art/check_art.py)
endif()
include(${CMAKE_SOURCE_DIR}/cmake/Release.cmake)
