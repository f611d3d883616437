# Header-only libraries from Debian's packages (scripts/lib.sh installs them):
# RapidJSON, nlohmann-json (which tinygltf uses), tinygltf and stb. Native
# builds find them in the system's include folder. The MinGW build must not
# search that folder (it holds the host's C library), so the configuration
# copies just these headers into the build folder for it.
set(ZAM_EXTERNAL_HEADERS rapidjson nlohmann tiny_gltf.h stb/stb_image_write.h)
add_library(zam_external_headers INTERFACE)
foreach(header IN LISTS ZAM_EXTERNAL_HEADERS)
  if(NOT EXISTS /usr/include/${header})
    message(FATAL_ERROR "/usr/include/${header} is missing: install the packages scripts/lib.sh names")
  endif()
endforeach()
if(CMAKE_CROSSCOMPILING)
  set(copied ${CMAKE_BINARY_DIR}/external/include)
  foreach(header IN LISTS ZAM_EXTERNAL_HEADERS)
    get_filename_component(folder ${copied}/${header} DIRECTORY)
    file(COPY /usr/include/${header} DESTINATION ${folder})
  endforeach()
  target_include_directories(zam_external_headers SYSTEM INTERFACE ${copied})
endif()
