target_sources(lumbra_core PRIVATE ${CMAKE_CURRENT_LIST_DIR}/ogg_writer.cpp)
