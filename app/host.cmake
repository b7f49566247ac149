# The session with the host program (Kebrin2.Application over IDispatch): the poll cycle's host
# port.
add_library(host_session STATIC
  ${CMAKE_CURRENT_LIST_DIR}/host_session.cpp
  ${CMAKE_CURRENT_LIST_DIR}/host_session.h)
target_include_directories(host_session PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(host_session PUBLIC framework poll_cycle)
