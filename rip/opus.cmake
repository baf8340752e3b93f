pkg_check_modules(OPUSENC REQUIRED IMPORTED_TARGET libopusenc opus)
target_sources(lumbra_rip PRIVATE ${CMAKE_CURRENT_LIST_DIR}/ogg_opus_encoder.cpp)
target_link_libraries(lumbra_rip PRIVATE PkgConfig::OPUSENC)
