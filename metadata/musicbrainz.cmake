target_sources(lumbra_metadata PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/musicbrainz_disc_id.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sha1.cpp
)
target_sources(lumbra_metadata PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/cover_store.cpp
  ${CMAKE_CURRENT_LIST_DIR}/musicbrainz_client.cpp
  ${CMAKE_CURRENT_LIST_DIR}/musicbrainz_reply.cpp
)
find_package(nlohmann_json REQUIRED)
target_link_libraries(lumbra_metadata PRIVATE nlohmann_json::nlohmann_json)
set_property(SOURCE ${CMAKE_CURRENT_LIST_DIR}/musicbrainz_client.cpp TARGET_DIRECTORY lumbra_metadata
  APPEND PROPERTY COMPILE_DEFINITIONS LUMBRA_VERSION="${PROJECT_VERSION}")
