# A cross build runs no program it builds: the message catalogues and the
# landscape are written by the generators of a Linux build of this tree
# (scripts/build-windows makes one), so both builds get the same bytes.
set(DEMOS_HOST_TOOLS "${PROJECT_SOURCE_DIR}/build" CACHE PATH
  "Linux build folder that holds common/make_catalogue and tools/make_landscape")
foreach(tool common/make_catalogue tools/make_landscape)
  set(path ${DEMOS_HOST_TOOLS}/${tool})
  if(NOT EXISTS ${path})
    message(FATAL_ERROR "cross build: ${path} is missing; build it first with "
      "scripts/build ${DEMOS_HOST_TOOLS} --target make_catalogue make_landscape")
  endif()
  get_filename_component(name ${tool} NAME)
  add_executable(${name} IMPORTED GLOBAL)
  set_target_properties(${name} PROPERTIES IMPORTED_LOCATION ${path})
endforeach()
