# The converter's vector kernels: the AVX2+FMA one is only called after a run-time CPU check.
if(CMAKE_SYSTEM_PROCESSOR MATCHES "x86_64|AMD64|amd64")
    set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/FsConverterKernelsAvx2.cpp
        PROPERTIES COMPILE_OPTIONS "-mavx2;-mfma")
endif()
