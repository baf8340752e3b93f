target_sources(lumbra_metadata PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/cd_text_info.cpp
  ${CMAKE_CURRENT_LIST_DIR}/disc_record.cpp
  ${CMAKE_CURRENT_LIST_DIR}/disc_info_text.cpp
  ${CMAKE_CURRENT_LIST_DIR}/local_disc_database.cpp
  ${CMAKE_CURRENT_LIST_DIR}/track_credits.cpp
)
