# Debian 12 ships Qt Charts' OpenGL dependency in libqt6opengl6-dev. Where only the runtime
# library is there, this stands in for its package so that Qt Charts can be found; the program
# itself draws no OpenGL.
set(Qt6OpenGL_FOUND TRUE)
set(Qt6OpenGL_VERSION "${Qt6Core_VERSION}")
if(NOT TARGET Qt6::OpenGL)
  find_library(_varnix_qt6opengl NAMES Qt6OpenGL libQt6OpenGL.so.6 REQUIRED)
  add_library(Qt6::OpenGL SHARED IMPORTED)
  set_target_properties(Qt6::OpenGL PROPERTIES
    IMPORTED_LOCATION "${_varnix_qt6opengl}"
    INTERFACE_INCLUDE_DIRECTORIES "${QT6_INSTALL_PREFIX}/${QT6_INSTALL_HEADERS}/QtOpenGL"
    INTERFACE_LINK_LIBRARIES "Qt6::Gui")
endif()
if(NOT TARGET Qt::OpenGL)
  add_library(Qt::OpenGL INTERFACE IMPORTED)
  set_target_properties(Qt::OpenGL PROPERTIES INTERFACE_LINK_LIBRARIES Qt6::OpenGL)
endif()
