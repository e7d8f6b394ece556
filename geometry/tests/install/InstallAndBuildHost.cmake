# Installs the build tree into WORK_DIR/prefix, then configures, builds and
# runs a host program against it, once through find_package(Tessaly) and
# once through pkg-config.
file(REMOVE_RECURSE ${WORK_DIR})
set(prefix ${WORK_DIR}/prefix)

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "Command failed (${result}): ${ARGN}\n${out}\n${err}")
  endif()
  set(LAST_OUTPUT "${out}" PARENT_SCOPE)
endfunction()

run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})

# Installed programs find the project's libraries relative to themselves:
# they run with no library path set.
set(no_library_path ${CMAKE_COMMAND} -E env --unset=LD_LIBRARY_PATH)
file(WRITE ${WORK_DIR}/tetrahedron.off "OFF\n4 4 0\n0 0 0\n1 0 0\n0 1 0\n0 0 1\n3 0 2 1\n3 0 1 3\n3 1 2 3\n3 2 0 3\n")
run(${no_library_path} ${prefix}/bin/tessaly info ${WORK_DIR}/tetrahedron.off)
if(NOT LAST_OUTPUT MATCHES "facets 4\n" OR NOT LAST_OUTPUT MATCHES "closed yes")
  message(FATAL_ERROR "Unexpected output of the installed tessaly: ${LAST_OUTPUT}")
endif()
if(EXISTS ${prefix}/bin/twinview)
  run(${no_library_path} ${prefix}/bin/twinview --version)
  if(NOT LAST_OUTPUT MATCHES "^twinview [0-9]+\\.[0-9]+")
    message(FATAL_ERROR "Unexpected output of the installed twinview: ${LAST_OUTPUT}")
  endif()
  foreach(installed lib/twinviewde.so share/doc/twinview/Twinview.pdf)
    if(NOT EXISTS ${prefix}/${installed})
      message(FATAL_ERROR "Not installed: ${installed}")
    endif()
  endforeach()
endif()

# Tolkara through its CMake package.
if(EXISTS ${prefix}/lib/cmake/Tolkara)
  run(${CMAKE_COMMAND} -S ${TOLKARA_SOURCE_DIR} -B ${WORK_DIR}/tolkara -G Ninja
      -DCMAKE_CXX_COMPILER=${CXX_COMPILER}
      "-DCMAKE_CXX_FLAGS=${CXX_FLAGS} ${SANITIZER_FLAGS}"
      -DCMAKE_PREFIX_PATH=${prefix})
  run(${CMAKE_COMMAND} --build ${WORK_DIR}/tolkara)
  run(${WORK_DIR}/tolkara/tolkara-install-probe)
  if(NOT LAST_OUTPUT STREQUAL "tolkara\n")
    message(FATAL_ERROR "Unexpected output of the Tolkara host: ${LAST_OUTPUT}")
  endif()
endif()

foreach(mode package pkgconfig)
  if(mode STREQUAL "pkgconfig")
    set(use_pkgconfig ON)
  else()
    set(use_pkgconfig OFF)
  endif()
  run(${CMAKE_COMMAND} -S ${SOURCE_DIR} -B ${WORK_DIR}/${mode} -G Ninja
      -DCMAKE_CXX_COMPILER=${CXX_COMPILER}
      "-DCMAKE_CXX_FLAGS=${CXX_FLAGS} ${SANITIZER_FLAGS}"
      -DCMAKE_PREFIX_PATH=${prefix}
      -DHOST_USE_PKGCONFIG=${use_pkgconfig})
  run(${CMAKE_COMMAND} --build ${WORK_DIR}/${mode})
  run(${WORK_DIR}/${mode}/tessaly-install-probe)
  if(NOT LAST_OUTPUT MATCHES "pooled objects: 1000, collection: 1000, table: 1000")
    message(FATAL_ERROR "Unexpected output of the host (${mode}): ${LAST_OUTPUT}")
  endif()
  message(STATUS "${mode}: ${LAST_OUTPUT}")
endforeach()
