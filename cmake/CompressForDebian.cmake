# Run by CPack on the staged tree before it packs it: gzips every manual page and the
# changelog as Debian wants them (-9 for size, -n so that the bytes do not depend on the time
# of the build).
file(GLOB_RECURSE ZELK_COMPRESSED
  "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*/share/man/man*/*.[1-9]"
  "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*/share/doc/*/changelog")
foreach(file ${ZELK_COMPRESSED})
  execute_process(COMMAND gzip -9nf "${file}" RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "gzip failed on ${file}")
  endif()
endforeach()
