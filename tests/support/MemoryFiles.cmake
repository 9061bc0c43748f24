# SPDX-License-Identifier: GPL-3.0-or-later
# The file service in memory, for the fuzz targets and the tests that run them. Neither program
# links it.
if(NOT TARGET velquist_memory_files)
  add_library(velquist_memory_files STATIC ${CMAKE_CURRENT_LIST_DIR}/MemoryFiles.cpp)
  target_include_directories(velquist_memory_files PUBLIC ${CMAKE_CURRENT_LIST_DIR}/..)
  target_link_libraries(velquist_memory_files PUBLIC velquist_platform_core)
endif()
