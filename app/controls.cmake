# quor_appcontrols: the progress dialog's controls (text label, bitmap control
# and copy, picture loader).
add_library(quor_appcontrols STATIC
  ${CMAKE_CURRENT_LIST_DIR}/BitmapEx.cpp
  ${CMAKE_CURRENT_LIST_DIR}/BitmapStatic.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Label.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Picture.cpp
)
target_include_directories(quor_appcontrols PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(quor_appcontrols PUBLIC quor_framework ole32 oleaut32 uuid gdi32 user32 shell32)
