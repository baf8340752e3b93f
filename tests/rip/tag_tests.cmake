# Tags of MP3, Ogg Vorbis and WMA files read back with TagLib and with FFmpeg.
pkg_check_modules(TAG_TEST_LIBS REQUIRED IMPORTED_TARGET taglib)
lumbra_test(tag_tests
  ${CMAKE_CURRENT_SOURCE_DIR}/tag_rip_test.cpp
)
target_link_libraries(tag_tests PRIVATE PkgConfig::TAG_TEST_LIBS)
