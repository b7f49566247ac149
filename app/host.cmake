# The host automation driver (Kebrin2.Application over IDispatch).
add_library(host_driver STATIC
  ${CMAKE_CURRENT_LIST_DIR}/host_driver.cpp
  ${CMAKE_CURRENT_LIST_DIR}/host_driver.h)
target_include_directories(host_driver PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(host_driver PUBLIC framework)
