# Runs velluno-mksample into WORK_DIR and compares what it writes with the
# committed sample skin and default set under SOURCE_DIR: the same files, with
# the same bytes. Fails when a picture, the skin or the colour scheme was
# edited by hand, or when the generator changed and its output was not
# committed again.
#
#   cmake -DGENERATOR=... -DSOURCE_DIR=... -DWORK_DIR=... -P test_sample_generator.cmake

cmake_minimum_required(VERSION 3.22)

foreach(var GENERATOR SOURCE_DIR WORK_DIR)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "${var} is not set")
  endif()
endforeach()

set(trees examples/varavave assets/default)

file(REMOVE_RECURSE "${WORK_DIR}")
execute_process(COMMAND "${GENERATOR}" "${WORK_DIR}"
  RESULT_VARIABLE status OUTPUT_QUIET ERROR_VARIABLE errors)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "velluno-mksample failed (${status}): ${errors}")
endif()

# Files under the trees, relative to `root`. Left out: git's own files, and
# what the editor itself puts next to a skin (its extracted pictures and the
# previous version of the skin), which .gitignore keeps out of the repository.
function(sample_files root out)
  set(found "")
  foreach(tree IN LISTS trees)
    file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE "${root}" "${root}/${tree}/*")
    foreach(f IN LISTS files)
      get_filename_component(name "${f}" NAME)
      if(name STREQUAL ".gitignore" OR name STREQUAL ".gitattributes"
         OR name STREQUAL "varavave_old.ski" OR f MATCHES "(^|/)varavave_Gifs/")
        continue()
      endif()
      list(APPEND found "${f}")
    endforeach()
  endforeach()
  list(SORT found)
  set(${out} "${found}" PARENT_SCOPE)
endfunction()

sample_files("${WORK_DIR}" produced)
sample_files("${SOURCE_DIR}" committed)

if(NOT "examples/varavave/varavave.ski" IN_LIST produced)
  message(FATAL_ERROR "the generator wrote no varavave.ski into ${WORK_DIR}")
endif()

set(problems "")
foreach(f IN LISTS produced)
  if(NOT EXISTS "${SOURCE_DIR}/${f}")
    string(APPEND problems "\n  generated but not committed: ${f}")
    continue()
  endif()
  file(SHA256 "${WORK_DIR}/${f}" made)
  file(SHA256 "${SOURCE_DIR}/${f}" kept)
  if(NOT made STREQUAL kept)
    string(APPEND problems "\n  committed file differs from the generated one: ${f}")
  endif()
endforeach()
foreach(f IN LISTS committed)
  if(NOT f IN_LIST produced)
    string(APPEND problems "\n  committed but not generated: ${f}")
  endif()
endforeach()

if(problems)
  message(FATAL_ERROR "sample files are out of date; run velluno-mksample <source dir> "
                      "and commit the result:${problems}")
endif()
list(LENGTH produced count)
message(STATUS "${count} sample files match the generator")
