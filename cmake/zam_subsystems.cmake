# One library per subsystem folder, each naming the libraries it builds on.
# A folder may include only headers of its own folders and of the folders of
# what it builds on (directly or through them); code outside a win32 folder
# includes no Windows header. The build checks both before it compiles a
# library, so an include that climbs fails the build.
#
# zam_subsystem(NAME FOLDERS folder... [DEPENDS library...] [LINK system libraries...] [EXCLUDE file...])

function(zam_subsystem name)
  cmake_parse_arguments(ARG "" "" "FOLDERS;DEPENDS;LINK;EXCLUDE" ${ARGN})
  set(sources "")
  set(watched "")
  foreach(folder IN LISTS ARG_FOLDERS)
    file(GLOB folder_sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/${folder}/*.cpp)
    file(GLOB folder_files CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/${folder}/*.h ${PROJECT_SOURCE_DIR}/src/${folder}/*.cpp)
    list(APPEND sources ${folder_sources})
    list(APPEND watched ${folder_files})
  endforeach()
  foreach(excluded IN LISTS ARG_EXCLUDE)
    list(REMOVE_ITEM sources ${PROJECT_SOURCE_DIR}/src/${excluded})
  endforeach()

  set(allowed ${ARG_FOLDERS})
  foreach(dependency IN LISTS ARG_DEPENDS)
    get_property(dependency_folders GLOBAL PROPERTY ZAM_FOLDERS_${dependency})
    list(APPEND allowed ${dependency_folders})
  endforeach()
  list(REMOVE_DUPLICATES allowed)
  set_property(GLOBAL PROPERTY ZAM_FOLDERS_${name} ${allowed})

  if(sources)
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/resources)
    target_link_libraries(${name} PUBLIC ${ARG_DEPENDS} ${ARG_LINK})
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/resources)
    target_link_libraries(${name} INTERFACE ${ARG_DEPENDS} ${ARG_LINK})
  endif()

  set(stamp ${CMAKE_CURRENT_BINARY_DIR}/${name}.includes)
  add_custom_command(
    OUTPUT ${stamp}
    COMMAND ${CMAKE_COMMAND} -DSOURCE_ROOT=${PROJECT_SOURCE_DIR}/src "-DFOLDERS=${ARG_FOLDERS}" "-DALLOWED=${allowed}"
            -DSTAMP=${stamp} -P ${PROJECT_SOURCE_DIR}/cmake/check_includes.cmake
    DEPENDS ${watched} ${PROJECT_SOURCE_DIR}/cmake/check_includes.cmake
    COMMENT "Checking the includes of ${name}"
    VERBATIM)
  add_custom_target(${name}_includes DEPENDS ${stamp})
  add_dependencies(${name} ${name}_includes)
endfunction()
