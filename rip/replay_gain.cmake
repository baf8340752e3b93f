# Loudness measured while reading; ReplayGain and the album's cover written into the
# finished files' tags in place (TagLib).
pkg_check_modules(REPLAY_GAIN_TAGLIB REQUIRED IMPORTED_TARGET taglib)
target_sources(lumbra_rip PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/loudness.cpp
  ${CMAKE_CURRENT_LIST_DIR}/replay_gain_tags.cpp
  ${CMAKE_CURRENT_LIST_DIR}/cover_art.cpp
)
target_link_libraries(lumbra_rip PRIVATE PkgConfig::REPLAY_GAIN_TAGLIB)
