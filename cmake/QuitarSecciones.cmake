# CPack pre-build script: strips the staged programs as Debian's dh_strip does, which
# also drops the compiler's .comment and .note sections that plain `strip` keeps.
find_program(TAVELORIN_STRIP NAMES strip REQUIRED)
file(GLOB programas "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/usr/bin/*")
if(NOT programas)
  message(FATAL_ERROR "no programs staged under ${CPACK_TEMPORARY_INSTALL_DIRECTORY}/usr/bin")
endif()
foreach(programa ${programas})
  execute_process(COMMAND "${TAVELORIN_STRIP}" --remove-section=.comment --remove-section=.note "${programa}"
                  RESULT_VARIABLE estado)
  if(NOT estado EQUAL 0)
    message(FATAL_ERROR "strip failed on ${programa}")
  endif()
endforeach()
