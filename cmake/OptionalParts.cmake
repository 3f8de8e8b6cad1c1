# tallyline_optional_part(TARGET PACKAGE IMPORTED WITH WITHOUT): the target
# builds the source WITH that uses a library where the library is installed,
# and the source WITHOUT that does without it otherwise.
function(tallyline_optional_part target package imported with without)
  find_package(${package} ${TALLYLINE_OPTIONAL})
  if(TARGET ${imported})
    target_sources(${target} PRIVATE ${with})
    target_link_libraries(${target} PRIVATE ${imported})
  else()
    target_sources(${target} PRIVATE ${without})
  endif()
endfunction()
