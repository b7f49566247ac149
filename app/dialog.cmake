# Varnock.exe: the application object, the main dialog, the About box and the resources.
# varnock_ui holds the window classes so that tests can link them; the executable adds
# WinMain and the resources.
add_library(varnock_ui STATIC
  ${CMAKE_CURRENT_LIST_DIR}/about_dlg.h
  ${CMAKE_CURRENT_LIST_DIR}/varnock_app.cpp
  ${CMAKE_CURRENT_LIST_DIR}/varnock_app.h
  ${CMAKE_CURRENT_LIST_DIR}/varnock_dlg.cpp
  ${CMAKE_CURRENT_LIST_DIR}/varnock_dlg.h
  ${CMAKE_CURRENT_LIST_DIR}/varnock_dlg_timer.cpp)
# The Windows side of the poll cycle: its ports over the directory search and the dialog (the
# host port is the host session; the fldigi port over XmlRpcClient comes with
# poll_fldigi_xmlrpc).
target_sources(varnock_ui PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/windows_marker_files.cpp
  ${CMAKE_CURRENT_LIST_DIR}/windows_marker_files.h
  ${CMAKE_CURRENT_LIST_DIR}/windows_poll_view.cpp
  ${CMAKE_CURRENT_LIST_DIR}/windows_poll_view.h)
target_link_libraries(varnock_ui PUBLIC poll_cycle poll_fldigi_xmlrpc host_session controls)
target_include_directories(varnock_ui PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(varnock_ui PUBLIC framework ole32 comctl32)

add_executable(Varnock WIN32
  ${CMAKE_CURRENT_LIST_DIR}/main.cpp
  ${CMAKE_CURRENT_LIST_DIR}/res/varnock.rc)
set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/res/varnock.rc PROPERTIES
  OBJECT_DEPENDS "${CMAKE_CURRENT_LIST_DIR}/res/varnock.ico;${CMAKE_CURRENT_LIST_DIR}/res/varnock.manifest;${CMAKE_CURRENT_LIST_DIR}/res/resource.h")
target_link_libraries(Varnock PRIVATE varnock_ui)
set_target_properties(Varnock PROPERTIES OUTPUT_NAME Varnock)
