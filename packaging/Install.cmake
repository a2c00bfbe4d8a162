# Installing Kalvex the way Debian users expect: programs in bin/, shipped files in
# share/kalvex/ (found there relative to the executable), a menu entry with its icon, manual
# pages generated from each program's --help, and a Debian package through CPack.
include(GNUInstallDirs)

set(KALVEX_SHARE_DIR ${CMAKE_INSTALL_DATADIR}/kalvex)

foreach(program kalvex kalvex-batch kalvex-study kalvex-report kalvex-vessel)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()
# Resolve every symbol at start and keep the relocations read-only, as Debian builds its programs.
foreach(binary kalvex kalvex-batch kalvex-study kalvex-report kalvex-vessel kalvex_python)
  if(TARGET ${binary})
    target_link_options(${binary} PRIVATE -Wl,-z,relro,-z,now)
  endif()
endforeach()

install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/ DESTINATION ${KALVEX_SHARE_DIR}
  FILES_MATCHING PATTERN "*.txt" PATTERN "*.json" PATTERN "*.csv"
  PATTERN "inputs" EXCLUDE)
if(EXISTS ${PROJECT_SOURCE_DIR}/data)
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/data/ DESTINATION ${KALVEX_SHARE_DIR})
endif()

install(FILES ${PROJECT_SOURCE_DIR}/packaging/kalvex.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/assets/kalvex.png
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/apps)

# Manual pages: help2man turns each program's --help and --version into a page, so the
# options are written once, in the program; packaging/man/PROGRAM.h2m adds its EXAMPLES and
# FILES sections.
find_program(HELP2MAN help2man)
if(HELP2MAN)
  set(KALVEX_MAN_PAGES)
  set(KALVEX_MAN_kalvex "the interior ballistics window")
  set(KALVEX_MAN_kalvex-batch "run the interior ballistic model on a report without the window")
  set(KALVEX_MAN_kalvex-study "run a design study of many interior ballistic runs")
  set(KALVEX_MAN_kalvex-report "write the PDF report of an interior ballistic run")
  set(KALVEX_MAN_kalvex-vessel "simulate closed-vessel firings and reduce their pressure traces")
  foreach(program kalvex kalvex-batch kalvex-study kalvex-report kalvex-vessel)
    if(TARGET ${program})
      set(source ${CMAKE_BINARY_DIR}/man/${program}.1)
      set(page ${source}.gz)
      add_custom_command(OUTPUT ${page}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
        COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
                ${HELP2MAN} --no-info --no-discard-stderr --section=1
                "--name=${KALVEX_MAN_${program}}" --include=${PROJECT_SOURCE_DIR}/packaging/man/${program}.h2m
                --output=${source} $<TARGET_FILE:${program}>
        COMMAND gzip -9nf ${source}
        DEPENDS ${program} ${PROJECT_SOURCE_DIR}/packaging/man/${program}.h2m
        VERBATIM)
      list(APPEND KALVEX_MAN_PAGES ${page})
    endif()
  endforeach()
  add_custom_target(kalvex_man_pages ALL DEPENDS ${KALVEX_MAN_PAGES})
  install(FILES ${KALVEX_MAN_PAGES} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()

# What Debian asks of every package: its copyright and its change log, compressed.
set(KALVEX_CHANGELOG ${CMAKE_BINARY_DIR}/packaging/changelog.gz)
add_custom_command(OUTPUT ${KALVEX_CHANGELOG}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/packaging
  COMMAND gzip -9nc ${PROJECT_SOURCE_DIR}/packaging/changelog > ${KALVEX_CHANGELOG}
  DEPENDS ${PROJECT_SOURCE_DIR}/packaging/changelog)
add_custom_target(kalvex_changelog ALL DEPENDS ${KALVEX_CHANGELOG})
install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright ${KALVEX_CHANGELOG}
  DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/kalvex)
# The study file's keys and the propellant library's sources, where the manual pages name them.
install(FILES ${PROJECT_SOURCE_DIR}/docs/study-file.md ${PROJECT_SOURCE_DIR}/docs/propellants.md
  ${PROJECT_SOURCE_DIR}/docs/closed-vessel.md
  DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/kalvex)

# The Debian package: `make package`.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kalvex)
set(CPACK_PACKAGE_VENDOR "Kalvex developers")
set(CPACK_PACKAGE_CONTACT "Kalvex developers <kalvex@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "interior ballistics of guns: single runs and design studies")
set(CPACK_PACKAGE_DESCRIPTION "Kalvex integrates the lumped-parameter interior ballistic model of a gun
from ignition to muzzle exit, summarises and plots the run and writes it as
a report. Design studies (sweeps, solving for a target, fitting to firings,
tolerance analysis) run from the command line, in the window or from Python.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The Python module is built for Debian's python3 (its extension carries the 3.11 ABI tag).
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation2, python3 (>= 3.11~), python3 (<< 3.12), python3-numpy")
# Dask for kalvex.distributed; pandas for Table.to_pandas().
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "python3-distributed, python3-pandas")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
include(CPack)
