# Device contexts, GDI object handles and the selector guard.
target_sources(framework PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/dc.cpp
  ${CMAKE_CURRENT_LIST_DIR}/dc.h
  ${CMAKE_CURRENT_LIST_DIR}/gdi_object.h
  ${CMAKE_CURRENT_LIST_DIR}/select_guard.h)
target_link_libraries(framework PUBLIC gdi32 user32)
