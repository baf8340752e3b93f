target_sources(lumbra_core PRIVATE ${CMAKE_CURRENT_LIST_DIR}/mp3_writer.cpp)
