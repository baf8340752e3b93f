# Checksums of the audio as it is read, the database's verdicts and the rip's log, and the
# read-offset correction that makes the audio comparable with other drives'.
find_package(ZLIB REQUIRED)
target_sources(lumbra_rip PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/corrected_samples.cpp
  ${CMAKE_CURRENT_LIST_DIR}/offset_detection.cpp
  ${CMAKE_CURRENT_LIST_DIR}/rip_log.cpp
  ${CMAKE_CURRENT_LIST_DIR}/rip_verification.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sliding_v1.cpp
  ${CMAKE_CURRENT_LIST_DIR}/test_read.cpp
  ${CMAKE_CURRENT_LIST_DIR}/track_checksums.cpp
  ${CMAKE_CURRENT_LIST_DIR}/track_verifier.cpp
)
target_link_libraries(lumbra_rip PUBLIC ZLIB::ZLIB)
target_compile_definitions(lumbra_rip PRIVATE LUMBRA_VERSION="${PROJECT_VERSION}")
