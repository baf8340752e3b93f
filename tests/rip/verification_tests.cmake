# Checksums while reading, verdicts of whole rips against a loopback database, the rip log and
# its CUE sheet.
lumbra_test(verification_tests
  ${CMAKE_CURRENT_LIST_DIR}/track_checksums_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/verified_rip_test.cpp
)
