lumbra_test(cddb_tests
  ${CMAKE_CURRENT_LIST_DIR}/cddb_reply_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/cddb_lookup_test.cpp
)
target_link_libraries(cddb_tests PRIVATE PkgConfig::LIBDISCID)

