# ReplayGain of whole rips, checked against FFmpeg's ebur128 filter, and the cover; read back
# with TagLib.
pkg_check_modules(REPLAY_GAIN_TEST_LIBS REQUIRED IMPORTED_TARGET taglib)
lumbra_test(replay_gain_tests ${CMAKE_CURRENT_SOURCE_DIR}/replay_gain_test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/cover_art_test.cpp)
target_link_libraries(replay_gain_tests PRIVATE PkgConfig::REPLAY_GAIN_TEST_LIBS)
