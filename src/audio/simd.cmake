# The converters' kernels. The AVX2 ones are only called after a run-time CPU check. Every kernel
# and the filter design must give the same bits on every CPU, so no multiply-add is fused into
# one rounding.
set(TALVEX_EXACT_FLOAT_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/FsConverterKernelsAvx2.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FsConverterKernelsSse2.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FsConverterKernelsScalar.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FsConverterKernelsPcm.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CTarnRateConverter.cpp
    ${CMAKE_CURRENT_LIST_DIR}/RateConverterKernelsAvx2.cpp
    ${CMAKE_CURRENT_LIST_DIR}/TarnDeterministicSine.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CKaiserWindowCoeffs.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CDecimationFilterCoeffs.cpp
    ${CMAKE_CURRENT_LIST_DIR}/COversamplingFilterCoeffs.cpp)
set_source_files_properties(${TALVEX_EXACT_FLOAT_SOURCES} PROPERTIES COMPILE_OPTIONS
    "-ffp-contract=off")
if(CMAKE_SYSTEM_PROCESSOR MATCHES "x86_64|AMD64|amd64")
    set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/FsConverterKernelsAvx2.cpp
        ${CMAKE_CURRENT_LIST_DIR}/RateConverterKernelsAvx2.cpp
        PROPERTIES COMPILE_OPTIONS "-ffp-contract=off;-mavx2")
endif()
