target_sources(lumbra_metadata PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/cddb_base64.cpp
  ${CMAKE_CURRENT_LIST_DIR}/cddb_client.cpp
  ${CMAKE_CURRENT_LIST_DIR}/cddb_config.cpp
  ${CMAKE_CURRENT_LIST_DIR}/cddb_match_line.cpp
  ${CMAKE_CURRENT_LIST_DIR}/cddb_reply.cpp
  ${CMAKE_CURRENT_LIST_DIR}/cddb_request.cpp
  ${CMAKE_CURRENT_LIST_DIR}/disc_lookup_job.cpp
)
