lumbra_test(extraction_tests
  alignment_test.cpp
  audio_reads_test.cpp
  rip_reads_test.cpp
)
target_compile_definitions(extraction_tests PRIVATE
  LUMBRA_VIRTUAL_DRIVE_LIBRARY="$<TARGET_FILE:virtualdrive>")
add_dependencies(extraction_tests virtualdrive)
