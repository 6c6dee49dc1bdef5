# Runs the vantor program itself, the way a user does: from a folder holding
# soundtrack.mp3 and the password-protected vantor.ppd with the build's
# generated data and a timeline script of its own inside. The script starts
# shortly before the end, so the demo ends by itself. Then the two files in an
# install's share/vantor/ beside the program's bin/, run from an empty folder;
# then without the archive: the program must fail naming the first image it
# cannot load, with exit code 1.
#
# cmake -DVANTOR=... -DPPD=... -DPASSWORD=... -DWITH_XVFB=... -DSOUNDTRACK=... -DDEMO_DIR=... -DWORK=... -P run_demo.cmake
foreach(var VANTOR PPD PASSWORD WITH_XVFB SOUNDTRACK DEMO_DIR WORK)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "run_demo.cmake needs -D${var}=")
  endif()
endforeach()

file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
file(COPY ${DEMO_DIR}/data DESTINATION ${WORK})
set(root_members)
if(EXISTS ${DEMO_DIR}/celpalette.pcx)
  file(COPY_FILE ${DEMO_DIR}/celpalette.pcx ${WORK}/celpalette.pcx)
  set(root_members celpalette.pcx)
endif()
file(COPY_FILE ${SOUNDTRACK} ${WORK}/soundtrack.mp3)
file(WRITE ${WORK}/data/script.scr
  "// the last second of the demo\n"
  "DEMOSTART 239000\n"
  "SETUP\n"
  "TIMELINE\n"
  "239100 SIGNAL 30 1 0\n"
  "239200 START 29\n"
  "239300 INIT 31\n"
  "239300 SIGNAL 31 4 239900\n"
  "239300 START 31\n"
  "LINETIME\n")
# Stored, not compressed: the packer has tests of its own, and this keeps the
# test quick.
execute_process(COMMAND ${PPD} pack --store --password ${PASSWORD} vantor.ppd data ${root_members}
                WORKING_DIRECTORY ${WORK} RESULT_VARIABLE packed ERROR_VARIABLE packErrors)
if(NOT packed EQUAL 0)
  message(FATAL_ERROR "packing the test archive failed: ${packErrors}")
endif()
file(REMOVE_RECURSE ${WORK}/data)
if(root_members)
  file(REMOVE ${WORK}/${root_members})
endif()

string(TIMESTAMP started "%s")
execute_process(COMMAND ${WITH_XVFB} 1024x768x24 ${VANTOR}
                WORKING_DIRECTORY ${WORK} RESULT_VARIABLE result ERROR_VARIABLE errors OUTPUT_VARIABLE output
                TIMEOUT 60)
string(TIMESTAMP finished "%s")
math(EXPR seconds "${finished} - ${started}")
if(NOT result EQUAL 0)
  message(FATAL_ERROR "vantor exited with '${result}':\n${errors}")
endif()
if(seconds GREATER 15)
  message(FATAL_ERROR "vantor took ${seconds} s for one second of music")
endif()
if(errors MATCHES "\\[error\\] (could|script|OpenGL)")
  message(FATAL_ERROR "vantor reported an error:\n${errors}")
endif()
# The libraries' progress lines are part of the demo's output: the image
# cache's and the readers' lines for the loading screen's first picture.
if(NOT output MATCHES "\nloading data/images/kake1\\.jpg from disk\nJPG: Loading file \"data/images/kake1\\.jpg\"\\.\\.\\.\n")
  message(FATAL_ERROR "vantor did not print the image cache's progress lines:\n${output}")
endif()

# As installed: the program in PREFIX/bin, the archive and the soundtrack in
# PREFIX/share/vantor, run from an empty folder. A copy of the program, so
# that the build's own archive next to it is not the one found.
file(MAKE_DIRECTORY ${WORK}/prefix/bin ${WORK}/prefix/share/vantor ${WORK}/empty)
file(COPY ${VANTOR} DESTINATION ${WORK}/prefix/bin)
get_filename_component(program ${VANTOR} NAME)
set(installed ${WORK}/prefix/bin/${program})
file(RENAME ${WORK}/vantor.ppd ${WORK}/prefix/share/vantor/vantor.ppd)
file(RENAME ${WORK}/soundtrack.mp3 ${WORK}/prefix/share/vantor/soundtrack.mp3)
execute_process(COMMAND ${WITH_XVFB} 1024x768x24 ${installed}
                WORKING_DIRECTORY ${WORK}/empty RESULT_VARIABLE result ERROR_VARIABLE errors
                TIMEOUT 60)
if(NOT result EQUAL 0 OR errors MATCHES "\\[error\\]")
  message(FATAL_ERROR "vantor as installed (files in share/vantor) gave '${result}':\n${errors}")
endif()

# No archive anywhere it looks: the first image it cannot load, exit 1.
file(REMOVE ${WORK}/prefix/share/vantor/vantor.ppd)
execute_process(COMMAND ${WITH_XVFB} 1024x768x24 ${installed}
                WORKING_DIRECTORY ${WORK}/empty RESULT_VARIABLE result ERROR_VARIABLE errors
                TIMEOUT 60)
if(NOT result EQUAL 1 OR NOT errors MATCHES "\\[error\\] could not load image kake1.jpg")
  message(FATAL_ERROR "without its archive vantor gave '${result}':\n${errors}")
endif()

execute_process(COMMAND ${VANTOR} --help RESULT_VARIABLE result OUTPUT_VARIABLE usage)
if(NOT result EQUAL 0 OR NOT usage MATCHES "usage: vantor")
  message(FATAL_ERROR "vantor --help gave '${result}':\n${usage}")
endif()
file(REMOVE_RECURSE ${WORK})
