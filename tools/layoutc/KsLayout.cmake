# ks_compile_layout(<target> <source.txt> <output.bin>)
# Compiles a text layout into its binary component stream at build time
# with the host layout compiler (KS_LAYOUTC) and makes <target> depend on it.
# Relative paths: the source is taken from the current source folder, the
# output goes to the current binary folder.
function(ks_compile_layout target source output)
  if(NOT KS_LAYOUTC)
    message(FATAL_ERROR "ks_compile_layout: KS_LAYOUTC (the host layout compiler) is not set")
  endif()
  if(NOT IS_ABSOLUTE "${source}")
    set(source ${CMAKE_CURRENT_SOURCE_DIR}/${source})
  endif()
  if(NOT IS_ABSOLUTE "${output}")
    set(output ${CMAKE_CURRENT_BINARY_DIR}/${output})
  endif()
  get_filename_component(output_dir "${output}" DIRECTORY)
  set(depends ${source})
  if(KS_LAYOUTC_DEPENDS)
    list(APPEND depends ${KS_LAYOUTC_DEPENDS})
  endif()
  add_custom_command(
    OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${output_dir}
    COMMAND ${KS_LAYOUTC} ${source} ${output}
    DEPENDS ${depends}
    COMMENT "Compiling layout ${source}"
    VERBATIM)
  get_filename_component(output_name "${output}" NAME_WE)
  string(MAKE_C_IDENTIFIER "${target}_layout_${output_name}" layout_target)
  add_custom_target(${layout_target} DEPENDS ${output})
  add_dependencies(${target} ${layout_target})
  # A resource script that includes the stream should list it in its
  # OBJECT_DEPENDS; the outputs are collected here for that.
  set_property(TARGET ${target} APPEND PROPERTY KS_LAYOUT_OUTPUTS ${output})
endfunction()
