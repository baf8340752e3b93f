pkg_check_modules(FLAC REQUIRED IMPORTED_TARGET flac)
target_sources(lumbra_rip PRIVATE ${CMAKE_CURRENT_LIST_DIR}/flac_encoder.cpp)
target_link_libraries(lumbra_rip PRIVATE PkgConfig::FLAC)
