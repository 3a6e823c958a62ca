cmake_policy(SET CMP0057 NEW)  # IN_LIST, also when run as a script
# The folders of the program and the folders each may #include from. A folder may
# always include itself; tests/, bench/ and fuzz/ may include anything.
#
# One include root serves every folder, so a wrong include would compile; this
# check reads the #include lines instead. It runs when CMake configures the build
# and again as the test `layers` (cmake -DKINEMO_SOURCE_DIR=<root> -P CheckLayers.cmake).
set(KINEMO_LAYERS core device files log display app ui)
set(KINEMO_MAY_USE_core "")
set(KINEMO_MAY_USE_device core)
set(KINEMO_MAY_USE_files core)
set(KINEMO_MAY_USE_log core)
set(KINEMO_MAY_USE_display core)
set(KINEMO_MAY_USE_app core device files log display)
set(KINEMO_MAY_USE_ui core device files log display app)

function(kinemo_check_layers root)
  set(faults "")
  foreach(layer IN LISTS KINEMO_LAYERS)
    file(GLOB_RECURSE sources "${root}/${layer}/*.h" "${root}/${layer}/*.cpp")
    foreach(source IN LISTS sources)
      file(STRINGS "${source}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"[^\"/]+/")
      foreach(line IN LISTS includes)
        string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"/]+)/.*" "\\1" used "${line}")
        if(used STREQUAL layer OR NOT used IN_LIST KINEMO_LAYERS)
          continue()
        endif()
        if(NOT used IN_LIST KINEMO_MAY_USE_${layer})
          file(RELATIVE_PATH name "${root}" "${source}")
          string(APPEND faults "\n  ${name}: ${line}  (${layer}/ may use: ${KINEMO_MAY_USE_${layer}})")
        endif()
      endforeach()
    endforeach()
  endforeach()
  if(faults)
    message(FATAL_ERROR "A folder includes a folder it may not use:${faults}")
  endif()
endfunction()

if(CMAKE_SCRIPT_MODE_FILE AND KINEMO_SOURCE_DIR)
  kinemo_check_layers("${KINEMO_SOURCE_DIR}")
endif()
