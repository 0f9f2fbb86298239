# Installs the game as a desktop application (cmake --install) and packages it (cpack -G DEB).
# Included once, at the end of the top-level CMakeLists.txt, when every target exists.
include(GNUInstallDirs)

# The AppStream component ID, also the name of the desktop file and of the icon. Software
# centres know the game by it: keep it once released.
set(ZORBIT_APP_ID org.zorbit.zorbit)
# The date of the release named by project(); the changelog and the AppStream metadata carry it.
set(ZORBIT_RELEASE_DATE 2026-12-06)
set(ZORBIT_WEB_URL "https://zorbit.example.org" CACHE STRING
    "The game's web site: the home page, with the AppStream screenshots under screenshots/")
set(ZORBIT_PACKAGE_MAINTAINER "The Zorbit developers <developers@zorbit.example.org>"
    CACHE STRING "Name and e-mail address of whoever builds the packages")
option(ZORBIT_HARDEN "Build the installed programs with the hardening flags Debian uses" ON)

# The data folder; the full path is the last place the game looks for its data.
set(ZORBIT_INSTALL_DATADIR ${CMAKE_INSTALL_DATADIR}/zorbit)
set(ZORBIT_FULL_DATADIR ${CMAKE_INSTALL_FULL_DATADIR}/zorbit)
set(ZORBIT_INSTALL_DOCDIR ${CMAKE_INSTALL_DATADIR}/doc/zorbit)
set(zorbit_packaging_dir ${PROJECT_SOURCE_DIR}/packaging)
set(zorbit_generated_dir ${PROJECT_BINARY_DIR}/packaging)

# "Sun, 06 Dec 2026 00:00:00 +0000" from an ISO date, for the Debian changelog.
function(zorbit_rfc2822_date iso_date out_var)
    string(REGEX MATCH "^([0-9]+)-([0-9]+)-([0-9]+)$" matched "${iso_date}")
    if(NOT matched)
        message(FATAL_ERROR "ZORBIT_RELEASE_DATE must be YYYY-MM-DD, not '${iso_date}'")
    endif()
    math(EXPR year "${CMAKE_MATCH_1}")
    math(EXPR month "${CMAKE_MATCH_2}")
    math(EXPR day "${CMAKE_MATCH_3}")
    # Sakamoto's weekday method: January and February count as months of the year before.
    set(offsets 0 3 2 5 0 3 5 1 4 6 2 4)
    math(EXPR index "${month} - 1")
    list(GET offsets ${index} offset)
    set(y ${year})
    if(month LESS 3)
        math(EXPR y "${year} - 1")
    endif()
    math(EXPR weekday "(${y} + ${y} / 4 - ${y} / 100 + ${y} / 400 + ${offset} + ${day}) % 7")
    set(weekdays Sun Mon Tue Wed Thu Fri Sat)
    set(months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
    list(GET weekdays ${weekday} weekday_name)
    list(GET months ${index} month_name)
    set(padded_day ${day})
    if(day LESS 10)
        set(padded_day 0${day})
    endif()
    set(${out_var} "${weekday_name}, ${padded_day} ${month_name} ${year} 00:00:00 +0000" PARENT_SCOPE)
endfunction()
zorbit_rfc2822_date(${ZORBIT_RELEASE_DATE} ZORBIT_RELEASE_DATE_RFC2822)

# Debian's compiler and linker hardening, for the installed programs and every library of ours
# they link. Left out of the sanitizer and fuzz builds, whose instrumentation it would confuse.
function(zorbit_harden target)
    get_target_property(type ${target} TYPE)
    get_target_property(imported ${target} IMPORTED)
    get_target_property(done ${target} ZORBIT_HARDENED)
    if(imported OR done OR type STREQUAL "INTERFACE_LIBRARY")
        return()
    endif()
    set_target_properties(${target} PROPERTIES ZORBIT_HARDENED ON)
    # -U first: some compilers define their own level, and a redefinition would be a warning.
    target_compile_options(${target} PRIVATE -fstack-protector-strong
        "$<$<NOT:$<CONFIG:Debug>>:-U_FORTIFY_SOURCE;-D_FORTIFY_SOURCE=2>")
    if(type STREQUAL "EXECUTABLE")
        target_link_options(${target} PRIVATE LINKER:-z,relro LINKER:-z,now)
    endif()
    get_target_property(libraries ${target} LINK_LIBRARIES)
    foreach(library IN LISTS libraries)
        if(TARGET ${library})
            zorbit_harden(${library})
        endif()
    endforeach()
endfunction()

set(zorbit_programs zorbit)
if(TARGET zrbtool)
    list(APPEND zorbit_programs zrbtool)
endif()
if(ZORBIT_HARDEN AND NOT ZORBIT_SANITIZE AND NOT ZORBIT_FUZZ)
    foreach(program IN LISTS zorbit_programs)
        zorbit_harden(${program})
    endforeach()
endif()

install(TARGETS ${zorbit_programs} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PROJECT_SOURCE_DIR}/assets/zorbit.ini DESTINATION ${ZORBIT_INSTALL_DATADIR})
if(TARGET game_archive)
    install(FILES ${ZORBIT_GAME_DIR}/zrb.res DESTINATION ${ZORBIT_INSTALL_DATADIR})
endif()

configure_file(${zorbit_packaging_dir}/zorbit.desktop.in
    ${zorbit_generated_dir}/${ZORBIT_APP_ID}.desktop @ONLY)
configure_file(${zorbit_packaging_dir}/zorbit.metainfo.xml.in
    ${zorbit_generated_dir}/${ZORBIT_APP_ID}.metainfo.xml @ONLY)
install(FILES ${zorbit_generated_dir}/${ZORBIT_APP_ID}.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${zorbit_generated_dir}/${ZORBIT_APP_ID}.metainfo.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size 16 32 48 64 128 256)
    install(FILES ${zorbit_packaging_dir}/icons/zorbit-${size}.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
        RENAME ${ZORBIT_APP_ID}.png)
endforeach()

# Manual pages and the changelog go in compressed, as Debian wants them; gzip -n keeps the
# bytes the same from one build to the next.
find_program(ZORBIT_GZIP gzip REQUIRED)
function(zorbit_gzipped source_in out_var)
    get_filename_component(name ${source_in} NAME_WLE)
    configure_file(${source_in} ${zorbit_generated_dir}/${name} @ONLY)
    add_custom_command(OUTPUT ${zorbit_generated_dir}/${name}.gz
        COMMAND ${ZORBIT_GZIP} -9 -n -c ${name} > ${name}.gz
        DEPENDS ${zorbit_generated_dir}/${name}
        WORKING_DIRECTORY ${zorbit_generated_dir}
        VERBATIM)
    set(${out_var} ${zorbit_generated_dir}/${name}.gz PARENT_SCOPE)
endfunction()
zorbit_gzipped(${zorbit_packaging_dir}/man/zorbit.6.in zorbit_man6)
zorbit_gzipped(${zorbit_packaging_dir}/man/zrbtool.1.in zorbit_man1)
zorbit_gzipped(${zorbit_packaging_dir}/changelog.in zorbit_changelog)
add_custom_target(zorbit_packaging_files ALL DEPENDS ${zorbit_man6} ${zorbit_man1} ${zorbit_changelog})
install(FILES ${zorbit_man6} DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
if(TARGET zrbtool)
    install(FILES ${zorbit_man1} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${zorbit_changelog} DESTINATION ${ZORBIT_INSTALL_DOCDIR})
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${ZORBIT_INSTALL_DOCDIR} RENAME copyright)

# cpack -G DEB. The package always installs under /usr; configure with
# -DCMAKE_INSTALL_PREFIX=/usr so that the paths built into the game agree with it.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zorbit)
set(CPACK_PACKAGE_VENDOR "The Zorbit developers")
set(CPACK_PACKAGE_CONTACT "${ZORBIT_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "two-player orbital ball game for one keyboard")
set(CPACK_PACKAGE_DESCRIPTION "\
Two players steer orbs around a small walled arena in orbit by pushing their
velocity. A ball bounces between the walls and the players, and when it
touches a player the two swap their velocities. Knock the ball out through
the opponent's opening to score; the sixth goal wins. Either side can be
played by the computer.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${ZORBIT_WEB_URL}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)

set(CPACK_ZORBIT_STRIP ${CMAKE_STRIP})
set(CPACK_ZORBIT_LINTIAN_OVERRIDES ${zorbit_packaging_dir}/lintian-overrides)
set(CPACK_PRE_BUILD_SCRIPTS ${zorbit_packaging_dir}/deb_layout.cmake)
include(CPack)
