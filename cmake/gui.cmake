# The windowed backends of the platform layer: SDL2 window and events, OpenGL 1.x drawing,
# outline glyphs from FreeType (face found with fontconfig) tessellated with GLU.
find_package(PkgConfig REQUIRED)
pkg_check_modules(SDL2 REQUIRED IMPORTED_TARGET sdl2)
pkg_check_modules(FREETYPE REQUIRED IMPORTED_TARGET freetype2)
pkg_check_modules(FONTCONFIG REQUIRED IMPORTED_TARGET fontconfig)
find_package(OpenGL REQUIRED COMPONENTS OpenGL)

file(GLOB FMSGUI_SOURCES CONFIGURE_DEPENDS
     ${CMAKE_SOURCE_DIR}/src/platform/sdl/*.cpp ${CMAKE_SOURCE_DIR}/src/platform/gl/*.cpp)
add_library(fms_gui STATIC ${FMSGUI_SOURCES})
target_link_libraries(fms_gui PUBLIC fms_platform PkgConfig::SDL2 PkgConfig::FREETYPE PkgConfig::FONTCONFIG
                      OpenGL::GL OpenGL::GLU)

# The program: the shell's entry point with the windowed backends.
add_executable(fms ${CMAKE_SOURCE_DIR}/src/shell/main.cpp)
target_link_libraries(fms PRIVATE fms_shell fms_gui)
set_target_properties(fms PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${FMS_RUN_DIR})
