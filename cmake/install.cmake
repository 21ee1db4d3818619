# `cmake --install build` (prefix /usr/local by default): the two programs
# and their data in one folder under lib/, as in the build tree (Quendle in
# quendle/ beside Tallisen, where Tallisen starts it), with links in bin/,
# a desktop entry and an icon for each.  The learner's files go to the
# per-user data folder, since the installed folder is not writable.
include(GNUInstallDirs)
set(TL_INSTALL_DIR lib/tallisen)  # one level below the prefix: the links in bin/ say ../lib/tallisen

install(TARGETS tallisen RUNTIME DESTINATION ${TL_INSTALL_DIR})
install(TARGETS quendle RUNTIME DESTINATION ${TL_INSTALL_DIR}/quendle)
install(FILES ${CMAKE_SOURCE_DIR}/data/escape.txt DESTINATION ${TL_INSTALL_DIR})
# The filter modules and their registering program.
install(TARGETS lavc_filters lavf_filters LIBRARY DESTINATION ${TL_INSTALL_DIR}/filters)
install(TARGETS filterreg RUNTIME DESTINATION ${TL_INSTALL_DIR}/filters)

foreach(prog tallisen quendle)
  if(prog STREQUAL "tallisen")
    set(target ../${TL_INSTALL_DIR}/tallisen)
  else()
    set(target ../${TL_INSTALL_DIR}/quendle/quendle)
  endif()
  install(CODE "
    file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
    file(CREATE_LINK \"${target}\" \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/${prog}\" SYMBOLIC)
    message(STATUS \"Installing: \$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/${prog} -> ${target}\")")
  install(FILES ${CMAKE_SOURCE_DIR}/data/desktop/${prog}.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${CMAKE_SOURCE_DIR}/data/desktop/${prog}.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
endforeach()
