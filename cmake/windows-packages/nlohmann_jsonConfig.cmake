# nlohmann-json for the Windows build: its headers as copied by cmake/windows.cmake.
if(NOT TARGET nlohmann_json::nlohmann_json)
  add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED)
  set_target_properties(nlohmann_json::nlohmann_json PROPERTIES
    INTERFACE_INCLUDE_DIRECTORIES ${VEXTUNE_THIRD_PARTY_INCLUDE})
endif()
set(nlohmann_json_FOUND TRUE)
