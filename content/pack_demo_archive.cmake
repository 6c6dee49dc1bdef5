# Run by the vantor_demo_archive target: repacks DEMO_DIR/data, and the files
# the demo reads at the archive's root (ROOT_MEMBERS, when present in
# DEMO_DIR), into DEMO_DIR/vantor.ppd when anything changed since the last
# packing.
set(archive ${DEMO_DIR}/vantor.ppd)
set(listing ${DEMO_DIR}/vantor.ppd.files)
file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE ${DEMO_DIR} ${DEMO_DIR}/data/*)
list(SORT files)
set(roots)
foreach(member IN LISTS ROOT_MEMBERS)
  if(EXISTS ${DEMO_DIR}/${member})
    list(APPEND roots ${member})
  endif()
endforeach()
list(APPEND files ${roots})
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
    COMMAND ${PPD} pack --password ${PASSWORD} vantor.ppd data ${roots}
    WORKING_DIRECTORY ${DEMO_DIR}
    RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "ppd pack failed (${result})")
  endif()
  file(WRITE ${listing} "${current}")
endif()
