# What `cmake --install BUILD --prefix DIR` puts where: the programs in
# DIR/bin, the shipped archive and soundtrack in DIR/share/vantor, where the
# programs look for them when the working folder has none. Included after
# every target is defined; the rules run in the order written here.

set(VANTOR_INSTALL_PROGRAMS vantor vantor_capture)
if(VANTOR_AUTHOR_TOOLS)
  list(APPEND VANTOR_INSTALL_PROGRAMS vantor-script meshcaster ppd_tool kpx_tool)
endif()

# Before anything is copied: every folder the install writes to must be
# writable (or creatable in a writable folder), so a prefix that is not ends
# with one clear message and nothing half-written.
install(CODE [[
  set(vantor_root "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
  foreach(vantor_sub bin share/vantor)
    set(vantor_dir "${vantor_root}/${vantor_sub}")
    while(NOT EXISTS "${vantor_dir}")
      get_filename_component(vantor_dir "${vantor_dir}" DIRECTORY)
      # A relative DESTDIR runs out of parents at the working folder.
      if(vantor_dir STREQUAL "")
        set(vantor_dir .)
      endif()
    endwhile()
    # A folder made and removed again answers for any reason a write can
    # fail (permissions, a read-only file system, a file in the way).
    execute_process(COMMAND mktemp -d "${vantor_dir}/.vantor-install-XXXXXX"
                    RESULT_VARIABLE vantor_denied OUTPUT_VARIABLE vantor_probe ERROR_QUIET
                    OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT vantor_denied)
      file(REMOVE_RECURSE "${vantor_probe}")
    else()
      message(FATAL_ERROR "cannot install into ${vantor_root}: ${vantor_dir} is not a folder you can write to; "
                          "nothing was installed (choose another --prefix, e.g. ~/.local)")
    endif()
  endforeach()
]])
install(TARGETS ${VANTOR_INSTALL_PROGRAMS} RUNTIME DESTINATION bin)
install(FILES ${CMAKE_BINARY_DIR}/demo/vantor.ppd ${CMAKE_BINARY_DIR}/demo/soundtrack.mp3 DESTINATION share/vantor)
