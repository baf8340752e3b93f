pkg_check_modules(VORBISENC REQUIRED IMPORTED_TARGET ogg vorbis vorbisenc)
target_sources(lumbra_rip PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/encoder_versions.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ogg_encoder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/vorbis_encoder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/vorbis_setup.cpp
)
target_link_libraries(lumbra_rip PRIVATE PkgConfig::VORBISENC)
