target_sources(lumbra_rip PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/wma_library_writer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/wma_parameters.cpp
  ${CMAKE_CURRENT_LIST_DIR}/wma_wide_path.cpp
  ${CMAKE_CURRENT_LIST_DIR}/wma_encoder.cpp
)
