# The folders stand on one another in one direction only (docs/layout.md):
# each folder below may include the project headers its pattern allows and
# nothing above it. A wrong include stops the configuration here, before it
# quietly ties a lower layer to a higher one.
# Pairs of a folder and the pattern of what it may include.
set(NORVIX_LAYERS
  src/pixels "^$"
  src/rtl "^rtl/[^/]+$"
  src/battle "^(rtl|battle)/[^/]+$"
  src/skin/core "^(rtl|pixels|skin/core)/[^/]+$"
  src/skin/windows/layout "^(rtl|pixels|skin/core|skin/windows/layout)/[^/]+$"
  src/windows/core "^(rtl|battle|windows/core)/[^/]+$"
  src/vcl "^(rtl|pixels|vcl)/[^/]+$")

list(LENGTH NORVIX_LAYERS layer_count)
math(EXPR layer_last "${layer_count} - 1")
foreach(layer_index RANGE 0 ${layer_last} 2)
  math(EXPR pattern_index "${layer_index} + 1")
  list(GET NORVIX_LAYERS ${layer_index} layer_dir)
  list(GET NORVIX_LAYERS ${pattern_index} layer_allowed)
  file(GLOB layer_files CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${layer_dir}/*.h ${CMAKE_SOURCE_DIR}/${layer_dir}/*.cpp)
  foreach(file ${layer_files})
    file(STRINGS ${file} layer_includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
    foreach(line ${layer_includes})
      string(REGEX REPLACE "^[^\"]*\"([^\"]*)\".*$" "\\1" included "${line}")
      if(NOT included MATCHES "${layer_allowed}")
        message(FATAL_ERROR "${file} includes \"${included}\", which ${layer_dir} may not include (see docs/layout.md)")
      endif()
    endforeach()
  endforeach()
endforeach()
