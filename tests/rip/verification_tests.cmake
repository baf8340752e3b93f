# Checksums while reading, verdicts of whole rips against a loopback database, the rip log and
# its CUE sheet.
lumbra_test(verification_tests
  ${CMAKE_CURRENT_LIST_DIR}/track_checksums_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/verified_rip_test.cpp
  ${PROJECT_SOURCE_DIR}/tests/support/accuraterip_test_server.cpp
)
target_compile_definitions(verification_tests PRIVATE
  LUMBRA_VIRTUAL_DRIVE_LIBRARY="$<TARGET_FILE:virtualdrive>"
  LUMBRA_LAME_PLUGIN_DIR="$<TARGET_FILE_DIR:lame_enc>")
add_dependencies(verification_tests virtualdrive lame_enc wmaudsdk)
