# The archive a player downloads: WOrvan-<version>-win64.zip in the build
# folder, holding WOrvan.exe, WOrvan.chm and the player's README.txt.
#
#   cmake --build <build folder> --target release_zip
#
# The archive takes the program from whatever tree builds it; a release is a
# tree configured with -DWORVAN_RELEASE=ON (otherwise the program marks itself
# as a pre-release, "Version ß x.y.z.w" in its about box).
#
# Included after the program target WOrvan and the help (WORVAN_CHM) exist.
# Run as a script (cmake -DZIP=... -P Release.cmake) it checks an archive:
# see the end of this file.

if(CMAKE_SCRIPT_MODE_FILE)
  # Checking an archive: it lists exactly WOrvan.exe, WOrvan.chm and
  # README.txt, and each unpacks to the same bytes as the file it was made
  # from (so a stale archive fails too).
  #   ZIP     the archive
  #   EXE CHM README   the files it was made from
  #   WORK    a scratch folder for unpacking (emptied first)
  execute_process(COMMAND "${CMAKE_COMMAND}" -E tar tf "${ZIP}"
                  OUTPUT_VARIABLE _listing RESULT_VARIABLE _result)
  if(NOT _result EQUAL 0)
    message(FATAL_ERROR "cannot list ${ZIP}: ${_result}")
  endif()
  string(REGEX REPLACE "\r?\n$" "" _listing "${_listing}")
  string(REGEX REPLACE "\r?\n" ";" _names "${_listing}")
  list(SORT _names)
  if(NOT _names STREQUAL "README.txt;WOrvan.chm;WOrvan.exe")
    message(FATAL_ERROR "${ZIP} holds [${_names}], expected [README.txt;WOrvan.chm;WOrvan.exe]")
  endif()

  file(REMOVE_RECURSE "${WORK}")
  file(MAKE_DIRECTORY "${WORK}")
  execute_process(COMMAND "${CMAKE_COMMAND}" -E tar xf "${ZIP}"
                  WORKING_DIRECTORY "${WORK}" RESULT_VARIABLE _result)
  if(NOT _result EQUAL 0)
    message(FATAL_ERROR "cannot unpack ${ZIP}: ${_result}")
  endif()
  foreach(_pair "WOrvan.exe=${EXE}" "WOrvan.chm=${CHM}" "README.txt=${README}")
    string(REGEX MATCH "^([^=]+)=(.*)$" _ "${_pair}")
    execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${WORK}/${CMAKE_MATCH_1}" "${CMAKE_MATCH_2}"
                    RESULT_VARIABLE _result)
    if(NOT _result EQUAL 0)
      message(FATAL_ERROR "${CMAKE_MATCH_1} in ${ZIP} differs from ${CMAKE_MATCH_2}")
    endif()
  endforeach()
  file(REMOVE_RECURSE "${WORK}")
  message(STATUS "${ZIP}: ${_names}")
  return()
endif()

if(NOT TARGET WOrvan)
  return()
endif()

set(WORVAN_ZIP_NAME "WOrvan-${PROJECT_VERSION}-win64.zip")
set(WORVAN_ZIP "${CMAKE_BINARY_DIR}/${WORVAN_ZIP_NAME}")
set(_worvan_readme "${CMAKE_SOURCE_DIR}/dist/README.txt")
set(_worvan_stage "${CMAKE_BINARY_DIR}/release-stage")

if(WORVAN_CHM)
  # The three files are gathered in a folder of their own, so that the
  # archive holds them without any folder.
  add_custom_command(
    OUTPUT "${WORVAN_ZIP}"
    COMMAND "${CMAKE_COMMAND}" -E rm -rf "${_worvan_stage}"
    COMMAND "${CMAKE_COMMAND}" -E make_directory "${_worvan_stage}"
    COMMAND "${CMAKE_COMMAND}" -E copy "$<TARGET_FILE:WOrvan>" "${_worvan_stage}/WOrvan.exe"
    COMMAND "${CMAKE_COMMAND}" -E copy "${WORVAN_CHM}" "${_worvan_stage}/WOrvan.chm"
    COMMAND "${CMAKE_COMMAND}" -E copy "${_worvan_readme}" "${_worvan_stage}/README.txt"
    COMMAND "${CMAKE_COMMAND}" -E rm -f "${WORVAN_ZIP}"
    COMMAND "${CMAKE_COMMAND}" -E chdir "${_worvan_stage}"
            "${CMAKE_COMMAND}" -E tar cf "${WORVAN_ZIP}" --format=zip WOrvan.exe WOrvan.chm README.txt
    DEPENDS WOrvan "${WORVAN_CHM}" "${_worvan_readme}"
    COMMENT "Packing ${WORVAN_ZIP_NAME}"
    VERBATIM)
  add_custom_target(release_zip DEPENDS "${WORVAN_ZIP}")
  if(TARGET help_chm)
    add_dependencies(release_zip help_chm)
  endif()
else()
  add_custom_target(release_zip
    COMMAND "${CMAKE_COMMAND}" -E echo "release_zip: the help file WOrvan.chm cannot be built here (chmcmd missing)"
    COMMAND "${CMAKE_COMMAND}" -E false
    VERBATIM)
endif()

# The archive builds, and holds exactly the three files, each the same as the
# one it was made from. Without the help file there is no archive to test.
if(NOT WORVAN_CHM)
  return()
endif()
add_test(NAME release.zip_builds
         COMMAND "${CMAKE_COMMAND}" --build "${CMAKE_BINARY_DIR}" --target release_zip --config $<CONFIG>)
set_tests_properties(release.zip_builds PROPERTIES FIXTURES_SETUP release_zip)
add_test(NAME release.zip_contents
         COMMAND "${CMAKE_COMMAND}"
                 "-DZIP=${WORVAN_ZIP}"
                 "-DEXE=$<TARGET_FILE:WOrvan>"
                 "-DCHM=${WORVAN_CHM}"
                 "-DREADME=${_worvan_readme}"
                 "-DWORK=${CMAKE_BINARY_DIR}/release-check"
                 -P "${CMAKE_CURRENT_LIST_FILE}")
set_tests_properties(release.zip_contents PROPERTIES FIXTURES_REQUIRED release_zip)
