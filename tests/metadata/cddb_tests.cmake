lumbra_test(cddb_tests
  ${CMAKE_CURRENT_LIST_DIR}/cddb_reply_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/cddb_lookup_test.cpp
  ${PROJECT_SOURCE_DIR}/tests/support/cddb_test_server.cpp
)
target_compile_definitions(cddb_tests PRIVATE LUMBRA_VIRTUAL_DRIVE_LIBRARY="$<TARGET_FILE:virtualdrive>")
add_dependencies(cddb_tests virtualdrive)
target_link_libraries(cddb_tests PRIVATE PkgConfig::LIBDISCID)

# lumbra-rip's tests look discs up at a CDDB server of their own.
target_sources(cli_tests PRIVATE ${PROJECT_SOURCE_DIR}/tests/support/cddb_test_server.cpp)
