# The demo's data archive, ${CMAKE_BINARY_DIR}/demo/vantor.ppd: everything in
# ${CMAKE_BINARY_DIR}/demo/data, packed by `ppd pack` as encrypted members
# named "data/...", with the password the demo opens it with. Not solid: the
# demo opens members one by one, and in a solid archive every open would
# decompress all members before the wanted one.
#
# The shade ramp of cel shading, "celpalette.pcx", is read at the archive's
# root: it is packed from demo/ as a member of that name when it exists.
#
# Data files reach demo/data through targets; a target that puts files there
# is added with add_dependencies(vantor_demo_archive <target>). The packing
# step itself runs on every build but only repacks when a file in demo/data is
# newer than the archive (or files were removed or added).
set(VANTOR_DEMO_DIR ${CMAKE_BINARY_DIR}/demo)
# The password is the one the demo opens the archive with, read from
# kDemoFiles (runtime/startup_files.h) so that it is written only there.
file(READ ${PROJECT_SOURCE_DIR}/runtime/startup_files.h vantor_startup_files)
if(NOT vantor_startup_files MATCHES "kDemoFiles{[ \n]*\"[^\"]*\", \"([^\"]+)\"")
  message(FATAL_ERROR "no archive password in kDemoFiles (runtime/startup_files.h)")
endif()
set(VANTOR_DEMO_ARCHIVE_PASSWORD ${CMAKE_MATCH_1} CACHE INTERNAL "The demo archive's password, from kDemoFiles")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/runtime/startup_files.h)

# The timeline script, the show itself.
set(vantor_script_source ${CMAKE_CURRENT_SOURCE_DIR}/script/script.scr)
add_custom_command(
  OUTPUT ${VANTOR_DEMO_DIR}/data/script.scr
  COMMAND ${CMAKE_COMMAND} -E copy ${vantor_script_source} ${VANTOR_DEMO_DIR}/data/script.scr
  DEPENDS ${vantor_script_source}
  COMMENT "Copying the timeline script into demo/data"
  VERBATIM)
add_custom_target(vantor_demo_script ALL DEPENDS ${VANTOR_DEMO_DIR}/data/script.scr)

add_custom_target(vantor_demo_archive ALL
  COMMAND ${CMAKE_COMMAND}
          -DPPD=$<TARGET_FILE:ppd_tool>
          -DDEMO_DIR=${VANTOR_DEMO_DIR}
          -DPASSWORD=${VANTOR_DEMO_ARCHIVE_PASSWORD}
          "-DROOT_MEMBERS=celpalette.pcx"
          -P ${CMAKE_CURRENT_SOURCE_DIR}/pack_demo_archive.cmake
  COMMENT "Packing demo/data into demo/vantor.ppd"
  VERBATIM)
add_dependencies(vantor_demo_archive ppd_tool vantor_demo_script)
