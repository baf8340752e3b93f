# WMA output: the writers through the real job and virtual drive, the writer library through its
# binary interface, and a stand-in library that refuses every output format.

add_library(wma_refusing_writer MODULE wma_refusing_writer.cpp)
set_target_properties(wma_refusing_writer PROPERTIES
  OUTPUT_NAME wmaudsdk
  LIBRARY_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/refusing_wma
  CXX_VISIBILITY_PRESET hidden)
target_include_directories(wma_refusing_writer PRIVATE ${PROJECT_SOURCE_DIR})

lumbra_test(wma_tests
  wma_library_test.cpp
  wma_rip_test.cpp
)
target_compile_definitions(wma_tests PRIVATE
  LUMBRA_REFUSING_WMA_FOLDER="$<TARGET_FILE_DIR:wma_refusing_writer>")
add_dependencies(wma_tests wma_refusing_writer)
