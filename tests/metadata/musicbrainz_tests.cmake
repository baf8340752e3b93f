# The MusicBrainz disc ID, the web service's replies and the lookup against a loopback server.
lumbra_test(musicbrainz_tests
  ${CMAKE_CURRENT_LIST_DIR}/musicbrainz_disc_id_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/musicbrainz_lookup_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/musicbrainz_reply_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/musicbrainz_tags_test.cpp
)
# Ripped files' tags are read back with TagLib; MP3 and WMA need the encoder libraries.
pkg_check_modules(MUSICBRAINZ_TEST_LIBS REQUIRED IMPORTED_TARGET taglib)
target_link_libraries(musicbrainz_tests PRIVATE PkgConfig::LIBDISCID PkgConfig::MUSICBRAINZ_TEST_LIBS)
