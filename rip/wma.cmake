target_sources(lumbra_core PRIVATE ${CMAKE_CURRENT_LIST_DIR}/wma_writer.cpp)
