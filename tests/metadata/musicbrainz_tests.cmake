# The MusicBrainz disc ID, the web service's replies and the lookup against a loopback server.
lumbra_test(musicbrainz_tests
  ${CMAKE_CURRENT_LIST_DIR}/musicbrainz_disc_id_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/musicbrainz_lookup_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/musicbrainz_reply_test.cpp
  ${PROJECT_SOURCE_DIR}/tests/support/cddb_test_server.cpp
  ${PROJECT_SOURCE_DIR}/tests/support/web_test_server.cpp
)
target_compile_definitions(musicbrainz_tests PRIVATE LUMBRA_VIRTUAL_DRIVE_LIBRARY="$<TARGET_FILE:virtualdrive>")
add_dependencies(musicbrainz_tests virtualdrive)
target_link_libraries(musicbrainz_tests PRIVATE PkgConfig::LIBDISCID)
