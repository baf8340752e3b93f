# Rips from drives with a read offset, corrected and not, checked by decoding what was written and
# against a loopback AccurateRip database; the read-offset plan and its sample trimming.
lumbra_test(offset_tests
  ${CMAKE_CURRENT_LIST_DIR}/corrected_samples_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/offset_rip_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sliding_v1_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/test_and_copy_test.cpp
)
