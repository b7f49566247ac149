# poll_cycle: the bridge's poll cycle over small ports (fldigi, host, marker files, view).
# Portable: builds natively and with MinGW; the Windows side implements the ports.
add_library(poll_cycle STATIC
  poll/field_table.cpp
  poll/frequency_text.cpp
  poll/marker_path.cpp
  poll/modem_macro.cpp
  poll/poll_cycle.cpp
  poll/poll_state.cpp
)
# Included from the repository root, as "app/poll/poll_cycle.h", like every other folder.
target_include_directories(poll_cycle PUBLIC ${PROJECT_SOURCE_DIR})
# Numbers are read from fldigi's texts as the XML-RPC layer reads them.
target_link_libraries(poll_cycle PRIVATE xmlrpc_core)

# poll_fldigi_xmlrpc: the real fldigi port, over XmlRpcClient (the platform's transport).
if(TARGET xmlrpc_client)
  add_library(poll_fldigi_xmlrpc STATIC poll/xmlrpc_fldigi_port.cpp)
  target_link_libraries(poll_fldigi_xmlrpc PUBLIC poll_cycle xmlrpc_client)
endif()
