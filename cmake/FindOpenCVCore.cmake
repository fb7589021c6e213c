# Finds OpenCV's core and imgproc modules from Debian's -dev packages, which
# ship headers and libraries but no CMake package file, and provides the
# targets opencv_core and opencv_imgproc.
find_path(OPENCV_INCLUDE_DIR opencv2/core.hpp PATH_SUFFIXES opencv4 REQUIRED)
foreach(module core imgproc)
  find_library(OPENCV_${module}_LIBRARY NAMES opencv_${module} REQUIRED)
  if(NOT TARGET opencv_${module})
    add_library(opencv_${module} UNKNOWN IMPORTED)
    set_target_properties(opencv_${module} PROPERTIES
      IMPORTED_LOCATION ${OPENCV_${module}_LIBRARY}
      INTERFACE_INCLUDE_DIRECTORIES ${OPENCV_INCLUDE_DIR})
  endif()
endforeach()
