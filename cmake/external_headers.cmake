# Header-only libraries from Debian's packages (scripts/lib.sh installs them):
# RapidJSON, nlohmann-json (which tinygltf uses), tinygltf and stb. A native
# build finds them where the compiler's own headers are. The MinGW build
# must not search the host's include folder (it holds the host's C
# library), so the configuration copies just these headers from it into the
# build folder.
add_library(zam_external_headers INTERFACE)
set(ZAM_EXTERNAL_HEADERS rapidjson/reader.h nlohmann/json.hpp tiny_gltf.h stb/stb_image_write.h)
if(CMAKE_CROSSCOMPILING)
  set(copied ${CMAKE_BINARY_DIR}/external/include)
  foreach(header IN LISTS ZAM_EXTERNAL_HEADERS)
    if(NOT EXISTS /usr/include/${header})
      message(FATAL_ERROR "/usr/include/${header} is missing: install the packages scripts/lib.sh names")
    endif()
    # The header's whole library: its folder, or the single file.
    string(REGEX REPLACE "/.*" "" library ${header})
    file(COPY /usr/include/${library} DESTINATION ${copied})
  endforeach()
  target_include_directories(zam_external_headers SYSTEM INTERFACE ${copied})
else()
  foreach(header IN LISTS ZAM_EXTERNAL_HEADERS)
    string(MAKE_C_IDENTIFIER ${header} name)
    find_path(ZAM_INCLUDE_${name} ${header})
    if(NOT ZAM_INCLUDE_${name})
      message(FATAL_ERROR "${header} is missing: install the packages scripts/lib.sh names")
    endif()
    target_include_directories(zam_external_headers SYSTEM INTERFACE ${ZAM_INCLUDE_${name}})
  endforeach()
endif()
