# The AccurateRip disc ID, the database's replies and the client against a loopback server.
lumbra_test(accuraterip_tests
  ${CMAKE_CURRENT_LIST_DIR}/accuraterip_id_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/accuraterip_lookup_test.cpp
)
