# cmake -DBUILD=... -DWORK=... -P install_test.cmake
foreach(var BUILD WORK)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "install_test.cmake needs -D${var}=")
  endif()
endforeach()
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/empty)

execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD} --prefix ${WORK}/prefix
                RESULT_VARIABLE result OUTPUT_QUIET ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "the install failed ('${result}'):\n${errors}")
endif()
foreach(file bin/vantor bin/vantor-capture bin/vantor-script bin/meshcaster bin/ppd bin/kpx
             share/vantor/vantor.ppd share/vantor/soundtrack.mp3)
  if(NOT EXISTS ${WORK}/prefix/${file})
    message(FATAL_ERROR "the install left out ${file}")
  endif()
endforeach()

# The installed tool, run from an empty folder, takes the soundtrack from
# share/vantor: no warning, a picture.
file(WRITE ${WORK}/empty/show.scr "SETUP\nTIMELINE\n1000 START 30\n2000 END 30\n")
execute_process(COMMAND ${WORK}/prefix/bin/vantor-script plot show.scr show.png
                WORKING_DIRECTORY ${WORK}/empty RESULT_VARIABLE result ERROR_VARIABLE errors)
if(NOT result EQUAL 0 OR NOT errors STREQUAL "" OR NOT EXISTS ${WORK}/empty/show.png)
  message(FATAL_ERROR "the installed vantor-script plot gave '${result}':\n${errors}")
endif()

# A prefix under a regular file cannot be made: one message, nothing written.
file(WRITE ${WORK}/file "")
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD} --prefix ${WORK}/file/prefix
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE errors)
if(result EQUAL 0 OR NOT errors MATCHES "nothing was installed" OR output MATCHES "Installing:")
  message(FATAL_ERROR "an install under a file gave '${result}':\n${output}\n${errors}")
endif()
file(REMOVE_RECURSE ${WORK})
