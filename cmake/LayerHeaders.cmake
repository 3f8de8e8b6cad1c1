# tallyline_headers(TARGET SCOPE): lets the target, and whoever SCOPE passes
# it on to, include the target's headers as "<folder>/<Header>.h", the folder
# written from the top of the tree, and nothing else of the tree. Each target
# has an include root of its own in the build tree that holds one link, to
# its own folder; a file that includes a layer its target does not link
# therefore fails to compile instead of reaching around it.
function(tallyline_headers target scope)
  file(RELATIVE_PATH folder ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
  set(root ${PROJECT_BINARY_DIR}/include/${target})
  get_filename_component(parent ${root}/${folder} DIRECTORY)
  file(MAKE_DIRECTORY ${parent})
  if(NOT IS_SYMLINK ${root}/${folder})
    file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR} ${root}/${folder} SYMBOLIC)
  endif()
  target_include_directories(${target} ${scope} ${root})
endfunction()
