# Installs the build tree into a fresh prefix and checks what a store's machine gets: the
# program (which runs), the desktop entry and the systemd unit template that starts the
# installed program as a service. Run by CTest: cmake -DBUILD_DIR=... -DWORK_DIR=... -P this.
file(REMOVE_RECURSE "${WORK_DIR}")
set(prefix "${WORK_DIR}/prefix")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${prefix}"
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${output}")
endif()

foreach(file bin/radevore share/applications/radevore.desktop lib/systemd/system/radevore@.service)
  if(NOT EXISTS "${prefix}/${file}")
    message(FATAL_ERROR "${file} was not installed")
  endif()
endforeach()

execute_process(COMMAND "${prefix}/bin/radevore" --version RESULT_VARIABLE result
                OUTPUT_VARIABLE version ERROR_VARIABLE errors)
if(NOT result EQUAL 0 OR NOT version MATCHES "^radevore [0-9]")
  message(FATAL_ERROR "the installed program does not run: ${result} ${version} ${errors}")
endif()

file(READ "${prefix}/share/applications/radevore.desktop" desktop)
foreach(line "[Desktop Entry]" "Type=Application" "Exec=radevore" "Name=")
  string(FIND "${desktop}" "${line}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "the desktop entry lacks ${line}")
  endif()
endforeach()

file(READ "${prefix}/lib/systemd/system/radevore@.service" unit)
foreach(line "ExecStart=${prefix}/bin/radevore --service " "EnvironmentFile=/etc/radevore/%i.env"
        " \"\" ")
  string(FIND "${unit}" "${line}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "the unit lacks ${line}")
  endif()
endforeach()

find_program(SYSTEMD_ANALYZE systemd-analyze)
if(SYSTEMD_ANALYZE)
  configure_file("${prefix}/lib/systemd/system/radevore@.service"
                 "${WORK_DIR}/radevore@station.service" COPYONLY)
  execute_process(COMMAND "${SYSTEMD_ANALYZE}" verify "${WORK_DIR}/radevore@station.service"
                  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "systemd-analyze verify: ${output}")
  endif()
endif()
file(REMOVE_RECURSE "${WORK_DIR}")
