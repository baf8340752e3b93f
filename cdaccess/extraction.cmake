target_sources(lumbra_cdaccess PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/audio_reads.cpp
  ${CMAKE_CURRENT_LIST_DIR}/jitter_alignment.cpp
  ${CMAKE_CURRENT_LIST_DIR}/overlapped_read.cpp
  ${CMAKE_CURRENT_LIST_DIR}/read_method_detection.cpp
  ${CMAKE_CURRENT_LIST_DIR}/read_methods.cpp
  ${CMAKE_CURRENT_LIST_DIR}/read_offset.cpp
  ${CMAKE_CURRENT_LIST_DIR}/rip_reads.cpp
  ${CMAKE_CURRENT_LIST_DIR}/track_buffer.cpp
)
