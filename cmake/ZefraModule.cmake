# zefra_module(<name> [DEPS <targets...>])
# Builds core/<name> as the static library zefra_<name> from every .cpp in the folder,
# so adding a source file needs no CMake edit. Include paths are rooted at core/,
# so code includes "gif/lzw_encoder.h" and the module name stays visible.
function(zefra_module name)
  cmake_parse_arguments(M "" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(sources)
    add_library(zefra_${name} STATIC ${sources})
    target_include_directories(zefra_${name} PUBLIC ${PROJECT_SOURCE_DIR}/core)
    target_link_libraries(zefra_${name} PUBLIC ${M_DEPS})
  else()
    add_library(zefra_${name} INTERFACE)
    target_include_directories(zefra_${name} INTERFACE ${PROJECT_SOURCE_DIR}/core)
    target_link_libraries(zefra_${name} INTERFACE ${M_DEPS})
  endif()
  add_library(zefra::${name} ALIAS zefra_${name})
endfunction()
