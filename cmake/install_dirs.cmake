# Where an install puts things. The run-time-loaded libraries go to a private folder in the
# multiarch library folder (lib/x86_64-linux-gnu on Debian, whatever the prefix), the help and
# data to share/lumbra-cdripper; the programs find both relative to their own folder, so an
# installed tree works wherever it is unpacked.
include(GNUInstallDirs)

if(CMAKE_LIBRARY_ARCHITECTURE)
  set(LUMBRA_INSTALL_MODULEDIR lib/${CMAKE_LIBRARY_ARCHITECTURE}/lumbra-cdripper)
else()
  set(LUMBRA_INSTALL_MODULEDIR ${CMAKE_INSTALL_LIBDIR}/lumbra-cdripper)
endif()
set(LUMBRA_INSTALL_DATADIR ${CMAKE_INSTALL_DATADIR}/lumbra-cdripper)
file(RELATIVE_PATH LUMBRA_MODULEDIR_FROM_BIN ${CMAKE_INSTALL_FULL_BINDIR}
     ${CMAKE_INSTALL_PREFIX}/${LUMBRA_INSTALL_MODULEDIR})
file(RELATIVE_PATH LUMBRA_DATADIR_FROM_BIN ${CMAKE_INSTALL_FULL_BINDIR}
     ${CMAKE_INSTALL_FULL_DATADIR}/lumbra-cdripper)
