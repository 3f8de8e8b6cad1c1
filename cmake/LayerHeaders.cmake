# A layer's headers are included as "<folder>/<Header>.h", the folder written
# from the top of the tree. Each target gets two include roots in the build
# tree, filled with one-line forwarding headers (no links, so a checkout
# configures the same on every platform):
# - include/<target>, its public headers, for the target and whoever links it;
# - include/<target>_p, its headers named ..._p.h, for the target alone and
#   for its own tests (tallyline_private_headers).
# A file that includes a header of a layer its target does not link, or
# another layer's private header, then fails to compile.

# tallyline_headers(TARGET): forwards the headers listed among the target's
# sources.
function(tallyline_headers target)
  file(RELATIVE_PATH folder ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
  set(public_root ${PROJECT_BINARY_DIR}/include/${target})
  set(private_root ${PROJECT_BINARY_DIR}/include/${target}_p)
  get_target_property(sources ${target} SOURCES)
  list(FILTER sources INCLUDE REGEX "\\.h$")
  foreach(header IN LISTS sources)
    if(header MATCHES "_p\\.h$")
      set(root ${private_root})
    else()
      set(root ${public_root})
    endif()
    file(CONFIGURE OUTPUT ${root}/${folder}/${header}
         CONTENT "#include \"${CMAKE_CURRENT_SOURCE_DIR}/${header}\"\n" @ONLY)
  endforeach()
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "INTERFACE_LIBRARY")
    target_include_directories(${target} INTERFACE ${public_root})
  else()
    target_include_directories(${target} PUBLIC ${public_root} PRIVATE ${private_root})
  endif()
endfunction()

# tallyline_private_headers(TEST LAYER...): lets a layer's own test see the
# layer's private headers.
function(tallyline_private_headers test)
  foreach(layer IN LISTS ARGN)
    target_include_directories(${test} PRIVATE ${PROJECT_BINARY_DIR}/include/${layer}_p)
  endforeach()
endfunction()
