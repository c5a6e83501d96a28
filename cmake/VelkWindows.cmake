# What a Windows program carries beside its code: an icon and version resource.
function(velk_windows_resources target icon description)
  if(NOT WIN32)
    return()
  endif()
  set(VELK_RC_ICON ${PROJECT_SOURCE_DIR}/packaging/windows/${icon}.ico)
  set(VELK_RC_NAME ${target})
  set(VELK_RC_DESCRIPTION "${description}")
  configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/program.rc.in
                 ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc @ONLY)
  target_sources(${target} PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc)
endfunction()
