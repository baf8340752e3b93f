# Tags of MP3, Ogg Vorbis and WMA files read back with TagLib and with FFmpeg.
pkg_check_modules(TAG_TEST_LIBS REQUIRED IMPORTED_TARGET taglib libavformat libavcodec libavutil)
lumbra_test(tag_tests
  ${CMAKE_CURRENT_SOURCE_DIR}/ffmpeg_audio_decoder.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/tag_rip_test.cpp
)
target_link_libraries(tag_tests PRIVATE PkgConfig::TAG_TEST_LIBS)
target_compile_definitions(tag_tests PRIVATE
  LUMBRA_VIRTUAL_DRIVE_LIBRARY="$<TARGET_FILE:virtualdrive>"
  LUMBRA_LAME_PLUGIN_DIR="$<TARGET_FILE_DIR:lame_enc>")
add_dependencies(tag_tests virtualdrive lame_enc wmaudsdk)
