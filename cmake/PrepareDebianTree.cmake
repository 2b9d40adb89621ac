# Run by CPack on the staged tree before it packs it, doing what Debian's own packaging
# tools would: gzip every manual page and the changelog (-9 for size, -n so that the bytes do
# not depend on the time of the build), and strip the programs of the sections that CPack's
# strip leaves and Debian's does not (.comment, the compilers' version strings, and .note).
file(GLOB_RECURSE ZELK_COMPRESSED
  "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*/share/man/man*/*.[1-9]"
  "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*/share/doc/*/changelog")
foreach(file ${ZELK_COMPRESSED})
  execute_process(COMMAND gzip -9nf "${file}" RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "gzip failed on ${file}")
  endif()
endforeach()

file(GLOB ZELK_PROGRAMS "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*/bin/*")
foreach(program ${ZELK_PROGRAMS})
  execute_process(COMMAND strip --remove-section=.comment --remove-section=.note "${program}"
                  RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "strip failed on ${program}")
  endif()
endforeach()
