# nlohmann/json for the Windows build: the header-only library of the build
# machine, seen through a copy of its own folder so that the cross compiler
# never gets the host's /usr/include on its search path.
set(nlohmann_json_VERSION 3.11.2)
if(NOT TARGET nlohmann_json::nlohmann_json)
  set(_talvix_json_root ${CMAKE_BINARY_DIR}/json-include)
  if(NOT EXISTS ${_talvix_json_root}/nlohmann/json.hpp)
    if(NOT EXISTS /usr/include/nlohmann/json.hpp)
      message(FATAL_ERROR "nlohmann-json3-dev is not installed")
    endif()
    file(COPY /usr/include/nlohmann DESTINATION ${_talvix_json_root})
  endif()
  add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED)
  set_target_properties(nlohmann_json::nlohmann_json PROPERTIES
    INTERFACE_INCLUDE_DIRECTORIES ${_talvix_json_root})
endif()
set(nlohmann_json_FOUND TRUE)
