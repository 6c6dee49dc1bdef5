# Run by the vantor_demo_archive target: repacks DEMO_DIR/data into
# DEMO_DIR/vantor.ppd when anything in it changed since the last packing.
set(archive ${DEMO_DIR}/vantor.ppd)
set(listing ${DEMO_DIR}/vantor.ppd.files)
file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE ${DEMO_DIR} ${DEMO_DIR}/data/*)
list(SORT files)
string(REPLACE ";" "\n" current "${files}")

set(stale FALSE)
if(NOT EXISTS ${archive} OR NOT EXISTS ${listing})
  set(stale TRUE)
else()
  file(READ ${listing} previous)
  if(NOT previous STREQUAL current)
    set(stale TRUE)
  endif()
  foreach(f IN LISTS files)
    if(${DEMO_DIR}/${f} IS_NEWER_THAN ${archive})
      set(stale TRUE)
      break()
    endif()
  endforeach()
endif()

if(stale)
  execute_process(
    COMMAND ${PPD} pack --password ${PASSWORD} vantor.ppd data
    WORKING_DIRECTORY ${DEMO_DIR}
    RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "ppd pack failed (${result})")
  endif()
  file(WRITE ${listing} "${current}")
endif()
