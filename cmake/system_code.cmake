# The setup program's own code is plain C-style C++: no exceptions, no RTTI and
# no C++ runtime, so the stub links against the C runtime and Win32 only.
function(tv_system_library name)
  add_library(${name} STATIC ${ARGN})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_compile_options(${name} PRIVATE -fno-exceptions -fno-rtti
                         $<$<CONFIG:Release,MinSizeRel>:-ffunction-sections -fdata-sections>)
endfunction()
