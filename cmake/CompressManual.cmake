# Run by CPack on the staged tree before it packs it: gzips every manual page as Debian
# wants it (-9 for size, -n so that the bytes do not depend on the time of the build).
file(GLOB_RECURSE ZELK_MANUAL_PAGES "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*/share/man/man*/*.[1-9]")
foreach(page ${ZELK_MANUAL_PAGES})
  execute_process(COMMAND gzip -9nf "${page}" RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "gzip failed on ${page}")
  endif()
endforeach()
