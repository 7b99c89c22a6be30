add_library(zelmak_platform STATIC
  ${CMAKE_CURRENT_LIST_DIR}/help_viewer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/help_viewer.h
  ${CMAKE_CURRENT_LIST_DIR}/program_launcher.cpp
  ${CMAKE_CURRENT_LIST_DIR}/program_launcher.h)
target_include_directories(zelmak_platform PUBLIC ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(zelmak_platform PUBLIC Qt6::Widgets)
# The help file is also looked for where "cmake --install" puts it.
target_compile_definitions(zelmak_platform PRIVATE
  ZELMAK_INSTALL_DATADIR="${CMAKE_INSTALL_FULL_DATADIR}")
zelmak_warnings(zelmak_platform)
