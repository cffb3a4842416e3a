# The launcher's web address: an https address of a host, optionally with a
# port, and no path, query or fragment. It is compiled into the program as a
# string literal, so anything else is refused at configure time.
set(KS_DEFAULT_WEB_ADDRESS "https://www.tarvel.cn")

function(ks_check_web_address address out_ok)
  set(label "[A-Za-z0-9]([A-Za-z0-9-]*[A-Za-z0-9])?")
  if(address MATCHES "^https://${label}(\\.${label})+(:[0-9]+)?/?$")
    if(address MATCHES ":([0-9]+)/?$")
      if(CMAKE_MATCH_1 LESS 1 OR CMAKE_MATCH_1 GREATER 65535)
        set(${out_ok} FALSE PARENT_SCOPE)
        return()
      endif()
    endif()
    string(LENGTH "${address}" len)
    if(len GREATER 2000)
      set(${out_ok} FALSE PARENT_SCOPE)
      return()
    endif()
    set(${out_ok} TRUE PARENT_SCOPE)
  else()
    set(${out_ok} FALSE PARENT_SCOPE)
  endif()
endfunction()

if(CMAKE_SCRIPT_MODE_FILE)
  # cmake -DKS_WEB_ADDRESS=... -P KsWebAddress.cmake: exit code tells.
  ks_check_web_address("${KS_WEB_ADDRESS}" ok)
  if(NOT ok)
    message(FATAL_ERROR "KS_WEB_ADDRESS '${KS_WEB_ADDRESS}' is not an https address of a host without a path")
  endif()
  return()
endif()

set(KS_WEB_ADDRESS "${KS_DEFAULT_WEB_ADDRESS}" CACHE STRING
    "The platform's web address the launcher opens (https, host only, no path)")
ks_check_web_address("${KS_WEB_ADDRESS}" ks_web_address_ok)
if(NOT ks_web_address_ok)
  message(FATAL_ERROR "KS_WEB_ADDRESS '${KS_WEB_ADDRESS}' is not an https address of a host without a path")
endif()
