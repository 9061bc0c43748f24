# SPDX-License-Identifier: GPL-3.0-or-later
# The field routines: the readable definition of the codec, which the tests and the fuzz
# probes hold the fast codec against. Neither program links them.
if(NOT TARGET velquist_field_codec)
  add_library(velquist_field_codec STATIC ${CMAKE_CURRENT_LIST_DIR}/BitCodec.cpp)
  target_include_directories(velquist_field_codec PUBLIC ${CMAKE_CURRENT_LIST_DIR}/..)
endif()
