# Installing and packaging.
#
# The program finds its language packs, definition files and icons/ beside its own
# executable, so the install keeps them in one folder, as the build's bin/ does:
#
#   <prefix>/lib/liftdrive/    liftdrive, liftdrive-emulator, liftdrive-profile,
#                              *.lng, *.def, dummy.htm, icons/
#
# Recordings go to csv/ there only when the user owns the folder (the program makes
# it); otherwise to the user's documents, so no folder is shared between users.
#   <prefix>/bin/<program>     symbolic links into it, for PATH (the program resolves the
#                              link: its folder is the one the link points into)
#   <prefix>/share/applications/liftdrive.desktop, share/icons/hicolor/<n>x<n>/apps/
#
# On Windows everything lies in <prefix> itself, ready for windeployqt.
#
# `cpack -G DEB` in the build folder makes liftdrive_<version>_<arch>.deb of the edition
# the build was configured with (scripts/package does all of it).

include(GNUInstallDirs)

if(WIN32)
    set(LIFTDRIVE_INSTALL_DIR .)
else()
    set(LIFTDRIVE_INSTALL_DIR lib/liftdrive)
endif()
set(LIFTDRIVE_DESKTOP_FILES OFF)
if(UNIX AND NOT APPLE)
    set(LIFTDRIVE_DESKTOP_FILES ON)
endif()

if(EDITION STREQUAL "Lomtix")
    set(LIFTDRIVE_TITLE "SELVIK-LOMTIX")
    set(LIFTDRIVE_WINDOW_ICON ${PROJECT_SOURCE_DIR}/data/icons/selvik_logo.ico)
else()
    set(LIFTDRIVE_TITLE "ORVAN-Quvera")
    set(LIFTDRIVE_WINDOW_ICON ${PROJECT_SOURCE_DIR}/data/icons/orvan_logo.ico)
endif()

set(liftdrive_programs liftdrive liftdrive-profile)
if(TARGET liftdrive-emulator)
    list(APPEND liftdrive_programs liftdrive-emulator)
endif()
install(TARGETS ${liftdrive_programs} RUNTIME DESTINATION ${LIFTDRIVE_INSTALL_DIR})

install(DIRECTORY ${PROJECT_SOURCE_DIR}/data/ DESTINATION ${LIFTDRIVE_INSTALL_DIR}
    PATTERN "CMakeLists.txt" EXCLUDE
    PATTERN ".*" EXCLUDE)

if(NOT WIN32)
    foreach(program IN LISTS liftdrive_programs)
        install(CODE "
            set(bin \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
            file(MAKE_DIRECTORY \"\${bin}\")
            file(RELATIVE_PATH target \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\"
                 \"\${CMAKE_INSTALL_PREFIX}/${LIFTDRIVE_INSTALL_DIR}/${program}\")
            message(STATUS \"Installing: \${bin}/${program} -> \${target}\")
            file(REMOVE \"\${bin}/${program}\")
            file(CREATE_LINK \"\${target}\" \"\${bin}/${program}\" SYMBOLIC)")
    endforeach()
endif()

if(LIFTDRIVE_DESKTOP_FILES)
    # The menu entry and its icon in the sizes desktops ask for, drawn from the
    # edition's window icon at build time so they never drift from it.
    set(LIFTDRIVE_DESKTOP_EXEC liftdrive)
    configure_file(${PROJECT_SOURCE_DIR}/packaging/liftdrive.desktop.in
                   ${CMAKE_BINARY_DIR}/packaging/liftdrive.desktop @ONLY)
    install(FILES ${CMAKE_BINARY_DIR}/packaging/liftdrive.desktop
            DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)

    add_executable(liftdrive-icotopng ${PROJECT_SOURCE_DIR}/packaging/IcoToPng.cpp)
    target_link_libraries(liftdrive-icotopng PRIVATE Qt6::Gui)
    set_target_properties(liftdrive-icotopng PROPERTIES
        RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/packaging)

    set(liftdrive_icon_sizes 48 64 128 256)
    set(liftdrive_icon_dir ${CMAKE_BINARY_DIR}/packaging/hicolor)
    set(liftdrive_icon_pngs)
    foreach(size IN LISTS liftdrive_icon_sizes)
        list(APPEND liftdrive_icon_pngs ${liftdrive_icon_dir}/${size}x${size}/apps/liftdrive.png)
    endforeach()
    add_custom_command(
        OUTPUT ${liftdrive_icon_pngs}
        COMMAND liftdrive-icotopng ${LIFTDRIVE_WINDOW_ICON} ${liftdrive_icon_dir}
                ${liftdrive_icon_sizes}
        DEPENDS liftdrive-icotopng ${LIFTDRIVE_WINDOW_ICON}
        COMMENT "Exporting the ${EDITION} menu icons"
        VERBATIM)
    add_custom_target(liftdrive_menu_icons ALL DEPENDS ${liftdrive_icon_pngs})
    install(DIRECTORY ${liftdrive_icon_dir} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)
endif()

# Debian package.
set(CPACK_PACKAGE_NAME liftdrive)
set(CPACK_PACKAGE_VENDOR "liftdrive")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Service tool for lift motor inverters (${LIFTDRIVE_TITLE})")
set(CPACK_PACKAGE_DESCRIPTION
    "Reads, edits, saves and writes the inverter's parameter set over a serial line,\n\
shows the car's speed, acceleration and motor current live with a CSV record, and\n\
simulates a lift travel from the travel parameters. Edition ${EDITION}.")
set(CPACK_PACKAGE_INSTALL_DIRECTORY liftdrive)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "liftdrive developers <liftdrive@localhost>")
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The platform plugin (xcb, wayland), the image format plugins and Qt's own translations
# are loaded at run time, so dpkg-shlibdeps cannot see them.
set(liftdrive_runtime_packages
    "qt6-qpa-plugins, qt6-image-formats-plugins, qt6-translations-l10n")
find_program(LIFTDRIVE_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(LIFTDRIVE_DPKG_SHLIBDEPS)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "${liftdrive_runtime_packages}")
else()
    set(CPACK_DEBIAN_PACKAGE_DEPENDS
        "libqt6core6, libqt6gui6, libqt6widgets6, libqt6printsupport6, libqt6serialport6, ${liftdrive_runtime_packages}")
endif()
include(CPack)
