lumbra_test(metadata_tests
  ${CMAKE_CURRENT_LIST_DIR}/disc_info_text_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/local_disc_database_test.cpp
)
