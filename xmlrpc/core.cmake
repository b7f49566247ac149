# xmlrpc_core: values, codecs, tag scanner, decoder, encoder, call envelope (portable).
add_library(xmlrpc_core STATIC
  ${CMAKE_CURRENT_LIST_DIR}/value.cpp
  ${CMAKE_CURRENT_LIST_DIR}/numbers.cpp
  ${CMAKE_CURRENT_LIST_DIR}/scanner.cpp
  ${CMAKE_CURRENT_LIST_DIR}/datetime.cpp
  ${CMAKE_CURRENT_LIST_DIR}/base64.cpp
  ${CMAKE_CURRENT_LIST_DIR}/decoder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/encoder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/envelope.cpp
)
target_include_directories(xmlrpc_core PUBLIC ${PROJECT_SOURCE_DIR})
target_compile_features(xmlrpc_core PUBLIC cxx_std_17)
