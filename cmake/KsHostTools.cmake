# Build-time tools (layout compiler, image-store packer, image generator) run
# on the build machine. A cross build compiles them natively as a nested host build.
if(KS_NATIVE)
  foreach(tool_dir layoutc skinpack skingen)
    add_subdirectory(${CMAKE_SOURCE_DIR}/tools/${tool_dir} ${CMAKE_BINARY_DIR}/tools/${tool_dir})
  endforeach()
  set(KS_LAYOUTC $<TARGET_FILE:ks_layoutc>)
  set(KS_LAYOUTC_DEPENDS ks_layoutc)
  set(KS_SKINPACK $<TARGET_FILE:ks_skinpack>)
  set(KS_SKINPACK_DEPENDS ks_skinpack)
  set(KS_SKINGEN $<TARGET_FILE:ks_skingen>)
  set(KS_SKINGEN_DEPENDS ks_skingen)
else()
  include(ExternalProject)
  set(host_dir ${CMAKE_BINARY_DIR}/host-tools)
  set(KS_LAYOUTC ${host_dir}/tools/layoutc/ks_layoutc)
  set(KS_SKINPACK ${host_dir}/tools/skinpack/ks_skinpack)
  set(KS_SKINGEN ${host_dir}/tools/skingen/ks_skingen)
  ExternalProject_Add(ks_host_tools
    SOURCE_DIR ${CMAKE_SOURCE_DIR}
    BINARY_DIR ${host_dir}
    CMAKE_ARGS -DKS_TOOLS_ONLY=ON -DCMAKE_BUILD_TYPE=Release -G Ninja
               -DKS_WEB_ADDRESS=${KS_WEB_ADDRESS}
    BUILD_COMMAND ${CMAKE_COMMAND} --build ${host_dir} --target ks_layoutc --target ks_skinpack --target ks_skingen
    INSTALL_COMMAND ""
    BUILD_ALWAYS ON
    BUILD_BYPRODUCTS ${KS_LAYOUTC} ${KS_SKINPACK} ${KS_SKINGEN}
    USES_TERMINAL_BUILD ON)
  set(KS_LAYOUTC_DEPENDS ks_host_tools)
  set(KS_SKINPACK_DEPENDS ks_host_tools)
  set(KS_SKINGEN_DEPENDS ks_host_tools)
endif()

# ks_leaf_background(<output.jpg>): the default form background picture,
# drawn by the image generator at build time.
function(ks_leaf_background output)
  get_filename_component(folder ${output} DIRECTORY)
  add_custom_command(OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}
    COMMAND ${KS_SKINGEN} --leaf-background ${output}
    DEPENDS ${KS_SKINGEN_DEPENDS}
    COMMENT "Drawing the default background picture ${output}"
    VERBATIM)
endfunction()

include(${CMAKE_SOURCE_DIR}/tools/layoutc/KsLayout.cmake)
include(${CMAKE_SOURCE_DIR}/tools/skinpack/KsSkinPack.cmake)
