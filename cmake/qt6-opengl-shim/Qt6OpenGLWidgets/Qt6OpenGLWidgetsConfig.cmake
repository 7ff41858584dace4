# See Qt6OpenGLConfig.cmake beside this folder.
set(Qt6OpenGLWidgets_FOUND TRUE)
set(Qt6OpenGLWidgets_VERSION "${Qt6Core_VERSION}")
if(NOT TARGET Qt6::OpenGLWidgets)
  find_library(_varnix_qt6openglwidgets NAMES Qt6OpenGLWidgets libQt6OpenGLWidgets.so.6 REQUIRED)
  add_library(Qt6::OpenGLWidgets SHARED IMPORTED)
  set_target_properties(Qt6::OpenGLWidgets PROPERTIES
    IMPORTED_LOCATION "${_varnix_qt6openglwidgets}"
    INTERFACE_LINK_LIBRARIES "Qt6::OpenGL;Qt6::Widgets")
endif()
if(NOT TARGET Qt::OpenGLWidgets)
  add_library(Qt::OpenGLWidgets INTERFACE IMPORTED)
  set_target_properties(Qt::OpenGLWidgets PROPERTIES INTERFACE_LINK_LIBRARIES Qt6::OpenGLWidgets)
endif()
