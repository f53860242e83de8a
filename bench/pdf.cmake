# The paper's PDF writer over pages the size of a capture.
add_executable(pdf_bench ${CMAKE_CURRENT_SOURCE_DIR}/pdf_bench.cpp)
target_link_libraries(pdf_bench PRIVATE paginet_app_pdf)
