target_sources(lumbra_rip PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/id3v1_tag.cpp
  ${CMAKE_CURRENT_LIST_DIR}/id3v2_tag.cpp
  ${CMAKE_CURRENT_LIST_DIR}/lame_stream.cpp
  ${CMAKE_CURRENT_LIST_DIR}/mp3_encoder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/lame_stream_setup.cpp
)
pkg_check_modules(TAGLIB REQUIRED IMPORTED_TARGET taglib)
target_link_libraries(lumbra_rip PRIVATE PkgConfig::TAGLIB)
