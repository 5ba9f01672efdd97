# Installs the backend's component into a staging folder, as a package
# build would, and checks that every file lands where SANE and udev look.
#   -D BUILD_DIR=... -D STAGE=... -D FILES="path;path;..." (absolute paths)
file(REMOVE_RECURSE ${STAGE})
execute_process(COMMAND ${CMAKE_COMMAND} -E env DESTDIR=${STAGE}
                        ${CMAKE_COMMAND} --install ${BUILD_DIR} --component sane
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${result}")
endif()
foreach(path ${FILES})
  if(NOT EXISTS ${STAGE}${path})
    message(FATAL_ERROR "not installed: ${path}")
  endif()
endforeach()
file(READ ${STAGE}${DLL_D} backends)
if(NOT backends MATCHES "^vivaro\n$")
  message(FATAL_ERROR "dll.d/vivaro does not name the backend: ${backends}")
endif()
