# The windowed program: SDL2 window and events, OpenGL 1.x drawing, outline glyphs from
# FreeType (face found with fontconfig) tessellated with GLU.
find_package(PkgConfig REQUIRED)
pkg_check_modules(SDL2 REQUIRED IMPORTED_TARGET sdl2)
pkg_check_modules(FREETYPE REQUIRED IMPORTED_TARGET freetype2)
pkg_check_modules(FONTCONFIG REQUIRED IMPORTED_TARGET fontconfig)
find_package(OpenGL REQUIRED COMPONENTS OpenGL)

file(GLOB FMSGUI_SOURCES CONFIGURE_DEPENDS
     ${CMAKE_SOURCE_DIR}/src/platform/sdl/*.cpp ${CMAKE_SOURCE_DIR}/src/platform/gl/*.cpp)
if(FMSGUI_SOURCES)
  add_library(fmsgui STATIC ${FMSGUI_SOURCES})
  target_link_libraries(fmsgui PUBLIC fmscore PkgConfig::SDL2 PkgConfig::FREETYPE PkgConfig::FONTCONFIG
                        OpenGL::GL OpenGL::GLU)
  if(EXISTS ${CMAKE_SOURCE_DIR}/src/main.cpp)
    add_executable(fms ${CMAKE_SOURCE_DIR}/src/main.cpp)
    target_link_libraries(fms PRIVATE fmsgui)
    set_target_properties(fms PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${FMS_RUN_DIR})
  endif()
endif()
