# The programs handed to users ship without debug information. It is kept
# beside each program in <program>.debug and linked to it by the program's
# .gnu_debuglink section (name and checksum), so that crash addresses still
# resolve: `addr2line -f -e TarvelLauncher.exe 0x4015a0` or gdb find the
# separate file by themselves.
option(KS_SPLIT_DEBUG "Windows programs: strip them and keep their debug information in a separate file" ${KS_WINDOWS})

function(ks_release_program target)
  if(NOT KS_WINDOWS OR NOT KS_SPLIT_DEBUG)
    return()
  endif()
  set(exe $<TARGET_FILE_NAME:${target}>)
  # objcopy records the debug file's base name, found beside the program.
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_OBJCOPY} --only-keep-debug ${exe} ${exe}.debug
    COMMAND ${CMAKE_OBJCOPY} --strip-all --add-gnu-debuglink=${exe}.debug ${exe}
    WORKING_DIRECTORY $<TARGET_FILE_DIR:${target}>
    COMMENT "Splitting the debug information of ${exe} into ${exe}.debug"
    VERBATIM)
  set_property(TARGET ${target} APPEND PROPERTY ADDITIONAL_CLEAN_FILES $<TARGET_FILE:${target}>.debug)
endfunction()
