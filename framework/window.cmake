# Windows, dialogs, message tables, data exchange and the application object.
target_sources(framework PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/button.cpp
  ${CMAKE_CURRENT_LIST_DIR}/cmd_target.cpp
  ${CMAKE_CURRENT_LIST_DIR}/data_exchange.cpp
  ${CMAKE_CURRENT_LIST_DIR}/dialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/handler_boundary.cpp
  ${CMAKE_CURRENT_LIST_DIR}/menu.cpp
  ${CMAKE_CURRENT_LIST_DIR}/win_app.cpp
  ${CMAKE_CURRENT_LIST_DIR}/wnd.cpp)
target_link_libraries(framework PUBLIC user32 gdi32 comctl32)
