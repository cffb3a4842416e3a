# ks_pack_skin(<output.bin> [IMAGES <folder>])
#
# Adds a build rule that packs the built-in skin images (by default
# skin/resources/images: manifest.txt and one <ResID>.png per line) into the
# image store's component stream <output.bin>, with the host tool in
# KS_SKINPACK. A target that lists <output.bin> among its sources (or
# depends on it) gets it rebuilt whenever an image or the manifest changes.
function(ks_pack_skin output)
  cmake_parse_arguments(P "" "IMAGES" "" ${ARGN})
  if(NOT P_IMAGES)
    set(P_IMAGES ${CMAKE_SOURCE_DIR}/skin/resources/images)
  endif()
  if(NOT KS_SKINPACK)
    message(FATAL_ERROR "ks_pack_skin: the image-store packer (KS_SKINPACK) is not available")
  endif()
  file(GLOB images CONFIGURE_DEPENDS ${P_IMAGES}/*.png)
  add_custom_command(
    OUTPUT ${output}
    COMMAND ${KS_SKINPACK} ${P_IMAGES}/manifest.txt ${output}
    DEPENDS ${P_IMAGES}/manifest.txt ${images} ${KS_SKINPACK_DEPENDS} ${KS_SKINPACK}
    COMMENT "Packing the built-in skin images"
    VERBATIM)
endfunction()
