# The release check's conditions for a lean players' exe, each against an exe made to fail
# it, and the built exe, which must pass:
#   cmake -DEXE=<bkTrnwck.exe> -DOBJCOPY=<objcopy> -DCHECK=<CheckRelease.cmake>
#         -DSCRATCH=<folder> -P CheckReleaseTest.cmake
cmake_minimum_required(VERSION 3.21)
file(REMOVE_RECURSE "${SCRATCH}")
file(MAKE_DIRECTORY "${SCRATCH}")

# Runs the check on exe; expected: "" for a pass, else a part of the refusal.
function(expect name exe expected)
  execute_process(COMMAND ${CMAKE_COMMAND} -DLEAN=${exe} -P ${CHECK}
                  RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
  string(REGEX REPLACE "[ \n]+" " " said "${out}${err}")
  if(expected STREQUAL "" AND NOT result EQUAL 0)
    message(FATAL_ERROR "${name}: refused: ${said}")
  elseif(NOT expected STREQUAL "" AND (result EQUAL 0 OR NOT said MATCHES "${expected}"))
    message(FATAL_ERROR "${name}: expected a refusal saying \"${expected}\", got: ${said}")
  endif()
  message(STATUS "${name}: as expected")
endfunction()

# The exe with one more section, made by objcopy.
function(made_with_section out section content flags)
  set(args --add-section ${section}=${content})
  if(flags)
    list(APPEND args --set-section-flags ${section}=${flags})
  endif()
  execute_process(COMMAND ${OBJCOPY} ${args} ${EXE} ${out} ERROR_QUIET RESULT_VARIABLE made)
  if(NOT made EQUAL 0)
    message(FATAL_ERROR "objcopy could not add ${section}")
  endif()
endfunction()

expect("the built exe" "${EXE}" "")

file(WRITE "${SCRATCH}/payload.bin" "not debug information, but named as such\n")
made_with_section("${SCRATCH}/debug.exe" .debug_info "${SCRATCH}/payload.bin" "")
expect("a debug section" "${SCRATCH}/debug.exe" "holds the debug section .debug_info")

# Over 4 MiB: the debug information kept beside the exe is large enough to add.
made_with_section("${SCRATCH}/big.exe" .bulk "${EXE}.debug" "contents,alloc,load,readonly,data")
expect("over 4 MiB" "${SCRATCH}/big.exe" "over the 4194304")

file(REMOVE_RECURSE "${SCRATCH}")
