# cmake -DBUILD_DIR=... -DPREFIX=... -DSCRATCH=... -P CheckInstall.cmake
file(REMOVE_RECURSE ${PREFIX} ${SCRATCH})
file(MAKE_DIRECTORY ${SCRATCH}/elsewhere ${SCRATCH}/alone)
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX}
                RESULT_VARIABLE rc OUTPUT_QUIET)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "cmake --install failed: ${rc}")
endif()

if(WIN32)
    set(dir ${PREFIX})
    set(bin ${PREFIX})
    set(exe .exe)
else()
    set(dir ${PREFIX}/lib/liftdrive)
    set(bin ${PREFIX}/bin)
    set(exe "")
endif()
set(programs liftdrive${exe} liftdrive-profile${exe})
if(UNIX)
    list(APPEND programs liftdrive-emulator)
endif()

set(missing)
foreach(file ${programs} UK-English.lng Turkce.lng params-en.def
        params-tr.def icons/orvan_logo.ico icons/selvik_logo.ico icons/open.ico
        icons/quvera.jpg dummy.htm)
    if(NOT EXISTS ${dir}/${file})
        list(APPEND missing ${file})
    endif()
endforeach()
if(UNIX AND NOT APPLE)
    foreach(file applications/liftdrive.desktop icons/hicolor/48x48/apps/liftdrive.png
            icons/hicolor/256x256/apps/liftdrive.png)
        if(NOT EXISTS ${PREFIX}/share/${file})
            list(APPEND missing share/${file})
        endif()
    endforeach()
endif()
if(EXISTS ${dir}/liftdrive-iconmaker${exe} OR EXISTS ${dir}/CMakeLists.txt)
    message(FATAL_ERROR "build-only files were installed in ${dir}")
endif()
if(missing)
    message(FATAL_ERROR "missing from ${dir}: ${missing}")
endif()

# The profile tool reads the packs and the definition file beside itself: run through
# the link in bin/ from a folder holding neither, it must find them in the install...
execute_process(COMMAND ${bin}/liftdrive-profile${exe} --duration 2
                WORKING_DIRECTORY ${SCRATCH}/elsewhere
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err TIMEOUT 20)
if(NOT rc EQUAL 0 OR NOT out MATCHES "# steps=[1-9]")
    message(FATAL_ERROR "installed liftdrive-profile failed (${rc}): ${err}")
endif()
# ... and a copy of it alone must not, or the run above proved nothing.
file(COPY ${dir}/liftdrive-profile${exe} DESTINATION ${SCRATCH}/alone)
execute_process(COMMAND ${SCRATCH}/alone/liftdrive-profile${exe} --duration 2
                WORKING_DIRECTORY ${SCRATCH}/elsewhere
                RESULT_VARIABLE rc OUTPUT_QUIET ERROR_QUIET TIMEOUT 20)
if(rc EQUAL 0)
    message(FATAL_ERROR "liftdrive-profile ran without its language packs")
endif()

# The program starts and keeps running (its libraries and plugins load) until killed.
set(ENV{QT_QPA_PLATFORM} offscreen)
execute_process(COMMAND ${bin}/liftdrive${exe} WORKING_DIRECTORY ${SCRATCH}/elsewhere
                RESULT_VARIABLE rc OUTPUT_QUIET ERROR_VARIABLE err TIMEOUT 3)
if(NOT rc MATCHES "timeout")
    message(FATAL_ERROR "installed liftdrive ended at start (${rc}): ${err}")
endif()
file(REMOVE_RECURSE ${PREFIX} ${SCRATCH})
