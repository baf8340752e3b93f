target_sources(lumbra_metadata PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/accuraterip_client.cpp
  ${CMAKE_CURRENT_LIST_DIR}/accuraterip_id.cpp
  ${CMAKE_CURRENT_LIST_DIR}/accuraterip_reply.cpp
  ${CMAKE_CURRENT_LIST_DIR}/accuraterip_verdict.cpp
)
