# Turns the build configuration into cache variables, validates every value and writes
# the header through which the code sees them as compile-time constants.
include(${CMAKE_CURRENT_LIST_DIR}/catalogue-defaults.cmake)

set(guid_form "^{[0-9A-Fa-f][0-9A-Fa-f][0-9A-Fa-f][0-9A-Fa-f][0-9A-Fa-f][0-9A-Fa-f][0-9A-Fa-f][0-9A-Fa-f]-[0-9A-Fa-f][0-9A-Fa-f][0-9A-Fa-f][0-9A-Fa-f]-[0-9A-Fa-f][0-9A-Fa-f][0-9A-Fa-f][0-9A-Fa-f]-[0-9A-Fa-f][0-9A-Fa-f][0-9A-Fa-f][0-9A-Fa-f]-[0-9A-Fa-f][0-9A-Fa-f][0-9A-Fa-f][0-9A-Fa-f][0-9A-Fa-f][0-9A-Fa-f][0-9A-Fa-f][0-9A-Fa-f][0-9A-Fa-f][0-9A-Fa-f][0-9A-Fa-f][0-9A-Fa-f]}$")
set(host_form "^[A-Za-z0-9.-]+$")

set(catalogue_lines "")

# Declares each NAME VALUE pair of a settings list as a cache variable, checks it against
# the form and adds its constant to the generated header.
macro(installdll_settings list form form_text)
  set(pending_name "")
  foreach(item IN LISTS ${list})
    if(pending_name STREQUAL "")
      set(pending_name "${item}")
    else()
      set(${pending_name} "${item}" CACHE STRING "${form_text}")
      if(NOT "${${pending_name}}" MATCHES "${form}")
        message(FATAL_ERROR
          "${pending_name} = '${${pending_name}}' is not valid: expected ${form_text}")
      endif()
      string(APPEND catalogue_lines "inline constexpr char ${pending_name}[] = \"${${pending_name}}\";\n")
      set(pending_name "")
    endif()
  endforeach()
endmacro()

installdll_settings(INSTALLDLL_GUID_SETTINGS "${guid_form}"
  "a braced GUID of 38 characters, {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX} with hexadecimal digits")
installdll_settings(INSTALLDLL_HOST_SETTINGS "${host_form}"
  "a host name of letters, digits, dots and hyphens, such as www.example.com")

file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/generated/catalogue_config.h CONTENT
"// Generated from the build configuration; do not edit.
#pragma once

${catalogue_lines}")
