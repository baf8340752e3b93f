target_sources(lumbra_core PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/id3v1_tag.cpp
  ${CMAKE_CURRENT_LIST_DIR}/lame_encoder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/mp3_encoder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/mp3_stream_setup.cpp
)
