
# Encoder libraries that go wrong, each alone in its folder as the plugin folder of a test.
foreach(variant missing_entry refusing)
  add_library(fake_lame_${variant} MODULE ${CMAKE_CURRENT_SOURCE_DIR}/mp3_fake_encoder.cpp)
  set_target_properties(fake_lame_${variant} PROPERTIES
    OUTPUT_NAME lame_enc
    LIBRARY_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/fake_lame_${variant}
    CXX_VISIBILITY_PRESET hidden)
  target_include_directories(fake_lame_${variant} PRIVATE ${PROJECT_SOURCE_DIR})
endforeach()
target_compile_definitions(fake_lame_missing_entry PRIVATE FAKE_LAME_WITHOUT_VBR_HEADER)

lumbra_test(mp3_tests
  ${CMAKE_CURRENT_SOURCE_DIR}/mp3_encoder_library_test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/mp3_records_test.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/mp3_rip_test.cpp
)
target_compile_definitions(mp3_tests PRIVATE
  LUMBRA_FAKE_LAME_MISSING_ENTRY_DIR="$<TARGET_FILE_DIR:fake_lame_missing_entry>"
  LUMBRA_FAKE_LAME_REFUSING_DIR="$<TARGET_FILE_DIR:fake_lame_refusing>")
add_dependencies(mp3_tests fake_lame_missing_entry fake_lame_refusing)
