# COM helpers and the automation (IDispatch) driver.
target_sources(framework PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/automation_error.cpp
  ${CMAKE_CURRENT_LIST_DIR}/automation_error.h
  ${CMAKE_CURRENT_LIST_DIR}/bstr.h
  ${CMAKE_CURRENT_LIST_DIR}/com_ptr.h
  ${CMAKE_CURRENT_LIST_DIR}/dispatch_driver.cpp
  ${CMAKE_CURRENT_LIST_DIR}/dispatch_driver.h
  ${CMAKE_CURRENT_LIST_DIR}/text_conversion.cpp
  ${CMAKE_CURRENT_LIST_DIR}/text_conversion.h
  ${CMAKE_CURRENT_LIST_DIR}/utf8.h
  ${CMAKE_CURRENT_LIST_DIR}/variant.cpp
  ${CMAKE_CURRENT_LIST_DIR}/variant.h)
target_link_libraries(framework PUBLIC oleaut32 ole32 uuid)
