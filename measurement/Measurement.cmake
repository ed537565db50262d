# Processing of recordings: marks and speed, averaging, 1x component, RMS, spectra, harmonics,
# the broadband Output.txt and the measurement cycle.
add_library(vintor_measurement STATIC
  ${CMAKE_CURRENT_SOURCE_DIR}/RawRecording.cpp ${CMAKE_CURRENT_SOURCE_DIR}/RawRecording.h
  ${CMAKE_CURRENT_SOURCE_DIR}/MeasMath.cpp ${CMAKE_CURRENT_SOURCE_DIR}/MeasMath.h
  ${CMAKE_CURRENT_SOURCE_DIR}/FrameSurvey.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/FrameKernels.cpp ${CMAKE_CURRENT_SOURCE_DIR}/FrameKernels.h
  ${CMAKE_CURRENT_SOURCE_DIR}/FFTBase.cpp ${CMAKE_CURRENT_SOURCE_DIR}/FFTBase.h
  ${CMAKE_CURRENT_SOURCE_DIR}/Spectrum.cpp ${CMAKE_CURRENT_SOURCE_DIR}/Spectrum.h
  ${CMAKE_CURRENT_SOURCE_DIR}/Broadband.cpp ${CMAKE_CURRENT_SOURCE_DIR}/Broadband.h
  ${CMAKE_CURRENT_SOURCE_DIR}/MeasCycle.cpp ${CMAKE_CURRENT_SOURCE_DIR}/MeasCycle.h
  ${CMAKE_CURRENT_SOURCE_DIR}/MeasCycleDefault.cpp)
target_include_directories(vintor_measurement PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(vintor_measurement PUBLIC vintor_state vintor_base Qt6::Core vintor_options)
# The loops over frames are written for the vectoriser (fixed-length chunks, no early exit, no
# aliasing), but GCC's -O2 cost model leaves loops with strided loads scalar.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  set_source_files_properties(${CMAKE_CURRENT_SOURCE_DIR}/FrameKernels.cpp
    PROPERTIES COMPILE_OPTIONS "-fvect-cost-model=dynamic")
endif()
