# Installs the build tree into WORK_DIR/prefix and checks Twinview as a
# desktop installs it: the launcher and the AppStream metadata pass the
# freedesktop validators, the icon is there as SVG and in every hicolor size,
# and the installed program runs on its built-in English strings when
# Tolkara is missing (it loads Tolkara by name, it does not link it).
file(REMOVE_RECURSE ${WORK_DIR})
set(prefix ${WORK_DIR}/prefix)
set(app_id com.norwend.Twinview)

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
  set(LAST_RESULT "${result}" PARENT_SCOPE)
  set(LAST_OUTPUT "${out}" PARENT_SCOPE)
  set(LAST_ERROR "${err}" PARENT_SCOPE)
endfunction()

function(expect_result expected what)
  if(NOT LAST_RESULT STREQUAL "${expected}")
    message(FATAL_ERROR "${what}: exit ${LAST_RESULT}, expected ${expected}\n${LAST_OUTPUT}\n${LAST_ERROR}")
  endif()
endfunction()

# The width and height in a PNG file's header.
function(png_size file out_var)
  file(READ "${file}" header OFFSET 16 LIMIT 8 HEX)
  string(SUBSTRING "${header}" 0 8 width_hex)
  string(SUBSTRING "${header}" 8 8 height_hex)
  math(EXPR width "0x${width_hex}")
  math(EXPR height "0x${height_hex}")
  set(${out_var} "${width}x${height}" PARENT_SCOPE)
endfunction()

run(${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})
expect_result(0 "cmake --install")

set(share ${prefix}/share)
foreach(installed applications/${app_id}.desktop metainfo/${app_id}.metainfo.xml
                  icons/hicolor/scalable/apps/${app_id}.svg doc/twinview/Twinview.pdf)
  if(NOT EXISTS ${share}/${installed})
    message(FATAL_ERROR "Not installed: share/${installed}")
  endif()
endforeach()
foreach(size 16 22 24 32 48 64 128 256)
  set(png ${share}/icons/hicolor/${size}x${size}/apps/${app_id}.png)
  if(NOT EXISTS ${png})
    message(FATAL_ERROR "Not installed: ${png}")
  endif()
  png_size(${png} actual)
  if(NOT actual STREQUAL "${size}x${size}")
    message(FATAL_ERROR "${png} is ${actual}")
  endif()
endforeach()
if(NOT EXISTS ${prefix}/lib/twinviewde.so)
  message(FATAL_ERROR "Not installed: the German language library lib/twinviewde.so")
endif()

run(${DESKTOP_FILE_VALIDATE} ${share}/applications/${app_id}.desktop)
expect_result(0 "desktop-file-validate")
if(NOT LAST_OUTPUT STREQUAL "" OR NOT LAST_ERROR STREQUAL "")
  message(FATAL_ERROR "desktop-file-validate complains:\n${LAST_OUTPUT}${LAST_ERROR}")
endif()
run(${APPSTREAMCLI} validate --no-net ${share}/metainfo/${app_id}.metainfo.xml)
expect_result(0 "appstreamcli validate")

# Without Tolkara: the compare for scripts and the window both run, in English.
file(REMOVE ${prefix}/lib/libtolkara.so)
set(program ${CMAKE_COMMAND} -E env --unset=LD_LIBRARY_PATH QT_QPA_PLATFORM=offscreen
    XDG_CONFIG_HOME=${WORK_DIR}/config ${prefix}/bin/twinview)
run(${program} compare ${SAMPLES}/plan-a.png ${SAMPLES}/plan-a.png)
expect_result(0 "twinview compare of a file with itself, without Tolkara")
run(${program} compare ${SAMPLES}/plan-a.png ${SAMPLES}/plan-b.png)
expect_result(1 "twinview compare of two different files, without Tolkara")
run(${DBUS_RUN_SESSION} -- ${program} -screenshot ${WORK_DIR}/window.png ${SAMPLES}/plan-a.png ${SAMPLES}/plan-b.png)
expect_result(0 "the window without Tolkara")
if(NOT LAST_OUTPUT STREQUAL "Twinview: Differences have been Detected!\n")
  message(FATAL_ERROR "The window without Tolkara said: ${LAST_OUTPUT}${LAST_ERROR}")
endif()
