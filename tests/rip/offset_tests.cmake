# Rips from drives with a read offset, corrected and not, checked by decoding what was written and
# against a loopback AccurateRip database; the read-offset plan and its sample trimming.
pkg_check_modules(OFFSET_TEST_FFMPEG REQUIRED IMPORTED_TARGET libavformat libavcodec libavutil)
lumbra_test(offset_tests
  ${CMAKE_CURRENT_LIST_DIR}/corrected_samples_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ffmpeg_audio_decoder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/offset_rip_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sliding_v1_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/test_and_copy_test.cpp
  ${PROJECT_SOURCE_DIR}/tests/support/accuraterip_test_server.cpp
)
target_link_libraries(offset_tests PRIVATE PkgConfig::OFFSET_TEST_FFMPEG)
target_compile_definitions(offset_tests PRIVATE
  LUMBRA_VIRTUAL_DRIVE_LIBRARY="$<TARGET_FILE:virtualdrive>"
  LUMBRA_LAME_PLUGIN_DIR="$<TARGET_FILE_DIR:lame_enc>")
add_dependencies(offset_tests virtualdrive lame_enc wmaudsdk)
