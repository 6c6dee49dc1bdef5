# vantor_headers(target [PRIVATE] [ROOT name] [FOLDERS folder...] [FILES header...] [EXCEPT header...] [TREES folder...])
#
# Gives a target an include root of its own in the build tree,
# build/<preset>/include/<target>/, holding symbolic links to the headers it
# owns under their repository paths, so every include keeps its spelling
# ("kpx/kpx.h", "runtime/effect.h").
#
#   FOLDERS  the headers directly in each folder (not its sub-folders: those
#            belong to the layers above or beside it, e.g. scene/effects/)
#   FILES    single headers, for a folder shared by two targets
#   EXCEPT   headers of FOLDERS that belong to another target
#   TREES    a whole folder with its sub-folders (tests, tools)
#
# The root is PUBLIC, so a target sees its own headers and, through its
# links, those of the libraries it is built on, and nothing else: a layer
# including a header of a layer above it fails to compile. PRIVATE keeps the
# root to the target itself (programs, test executables); a header-only
# (INTERFACE) library passes its root to what links it.
#
# ROOT names a second root for a target that needs one more folder than its
# first call gave it (default: the target's name).
#
# The links are made at configure time; the header globs re-run on every
# build, so a header added or removed re-configures.
function(vantor_headers target)
  cmake_parse_arguments(H "PRIVATE" "ROOT" "FOLDERS;FILES;EXCEPT;TREES" ${ARGN})
  if(NOT H_ROOT)
    set(H_ROOT ${target})
  endif()
  set(root ${CMAKE_BINARY_DIR}/include/${H_ROOT})
  file(REMOVE_RECURSE ${root})
  set(headers ${H_FILES})
  foreach(folder IN LISTS H_FOLDERS)
    file(GLOB found CONFIGURE_DEPENDS RELATIVE ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/${folder}/*.h)
    list(APPEND headers ${found})
  endforeach()
  if(H_EXCEPT)
    list(REMOVE_ITEM headers ${H_EXCEPT})
  endif()
  foreach(header IN LISTS headers)
    get_filename_component(dir ${root}/${header} DIRECTORY)
    file(MAKE_DIRECTORY ${dir})
    file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${header} ${root}/${header} SYMBOLIC)
  endforeach()
  foreach(tree IN LISTS H_TREES)
    get_filename_component(dir ${root}/${tree} DIRECTORY)
    file(MAKE_DIRECTORY ${dir})
    file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${tree} ${root}/${tree} SYMBOLIC)
  endforeach()
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "INTERFACE_LIBRARY")
    target_include_directories(${target} INTERFACE ${root})
  elseif(H_PRIVATE)
    target_include_directories(${target} PRIVATE ${root})
  else()
    target_include_directories(${target} PUBLIC ${root})
  endif()
endfunction()
