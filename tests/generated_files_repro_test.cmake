# Files a generator in tools/ makes must be exactly the committed ones:
#   cmake -DSRC=<source> -DWORK=<scratch> -DTOOL=make-sounds -DKEPT=resources/sounds
#         -DPATTERN=*.wav [-DCOUNT=N] -P generated_files_repro_test.cmake
# TOOL runs with --out into WORK/TOOL; the same names and the same bytes must
# come out as KEPT holds (COUNT of them, when given).
set(out ${WORK}/${TOOL})
file(REMOVE_RECURSE ${out})
execute_process(COMMAND /usr/bin/python3 ${SRC}/tools/${TOOL} --out ${out} RESULT_VARIABLE code OUTPUT_QUIET)
if(NOT code EQUAL 0)
  message(FATAL_ERROR "${TOOL} failed (${code})")
endif()
file(GLOB kept RELATIVE ${SRC}/${KEPT} ${SRC}/${KEPT}/${PATTERN})
file(GLOB made RELATIVE ${out} ${out}/${PATTERN})
list(SORT kept)
list(SORT made)
if(NOT kept STREQUAL made)
  message(SEND_ERROR "${TOOL} writes [${made}] but ${KEPT} holds [${kept}]")
endif()
list(LENGTH made count)
if(DEFINED COUNT AND NOT count EQUAL COUNT)
  message(SEND_ERROR "${TOOL} writes ${count} files, not ${COUNT}")
endif()
foreach(f IN LISTS made)
  file(SHA256 ${out}/${f} made_hash)
  file(SHA256 ${SRC}/${KEPT}/${f} kept_hash)
  if(NOT made_hash STREQUAL kept_hash)
    message(SEND_ERROR "${f} differs from what tools/${TOOL} makes")
  endif()
endforeach()
