# FLAC and Opus files checked with the flac and opus tools, FFmpeg, libFLAC's metadata reader
# and TagLib.
pkg_check_modules(FLAC_OPUS_TEST_LIBS REQUIRED IMPORTED_TARGET
  flac taglib)
lumbra_test(flac_opus_tests
  ${CMAKE_CURRENT_SOURCE_DIR}/flac_rip_test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/flac_verify_failure.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/opus_rip_test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/xiph_tag_rip_test.cpp
)
target_link_libraries(flac_opus_tests PRIVATE PkgConfig::FLAC_OPUS_TEST_LIBS ${CMAKE_DL_LIBS})
