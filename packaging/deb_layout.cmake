# Run by cpack between the install into its staging folder and the making of the package.
# Debian wants the programs of a game in /usr/games (the game still finds its data through
# ../share/zorbit), stripped as dh_strip does, without the .comment and .note sections.
if(NOT CPACK_GENERATOR STREQUAL "DEB")
    return()
endif()
set(usr ${CPACK_TEMPORARY_INSTALL_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX})
file(RENAME ${usr}/bin ${usr}/games)
file(GLOB programs ${usr}/games/*)
execute_process(
    COMMAND ${CPACK_ZORBIT_STRIP} --remove-section=.comment --remove-section=.note ${programs}
    COMMAND_ERROR_IS_FATAL ANY)

# Tags that cannot sensibly be fixed are overridden in packaging/lintian-overrides, each under
# a comment that gives the reason (tests/install/run insists on it).
if(EXISTS "${CPACK_ZORBIT_LINTIAN_OVERRIDES}")
    file(MAKE_DIRECTORY ${usr}/share/lintian/overrides)
    file(COPY_FILE ${CPACK_ZORBIT_LINTIAN_OVERRIDES} ${usr}/share/lintian/overrides/zorbit)
endif()
