# Vector variants of per-pixel loops. A variant is one source compiled for a
# wider instruction set than the build's baseline; the code that calls it
# checks the processor at run time and falls back to the portable loop, so
# the libraries run on every x86-64 machine.
#
#   plexa_vector_variant(TARGET SOURCE ISA)   ISA: avx2 or avx512
#
# The variant's source sees PLEXA_VECTOR_VARIANT_BUILT, and the target sees
# PLEXA_HAS_<ISA>_VARIANT, only where the variant is built (x86-64).
include_guard(GLOBAL)

function(plexa_vector_variant target source isa)
  # Checked here, not once at the top: the guard above skips this file in every
  # directory but the first to include it, so a variable set there would not be seen.
  if(NOT CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|AMD64|amd64)$")
    return()
  endif()
  if(MSVC)
    set(flags $<IF:$<STREQUAL:${isa},avx512>,/arch:AVX512,/arch:AVX2>)
  else()
    # No fused multiply-add: results must round exactly as the portable loop's.
    if(isa STREQUAL "avx512")
      set(flags -mavx512f -ffp-contract=off)
    else()
      set(flags -mavx2 -ffp-contract=off)
    endif()
    if(MINGW)
      # Windows x64 aligns the stack to 16 bytes only; wide spills must not
      # assume more.
      list(APPEND flags -Wa,-muse-unaligned-vector-move)
    endif()
  endif()
  string(TOUPPER ${isa} upper)
  set_source_files_properties(${source} TARGET_DIRECTORY ${target} PROPERTIES
    COMPILE_OPTIONS "${flags}" COMPILE_DEFINITIONS PLEXA_VECTOR_VARIANT_BUILT)
  target_compile_definitions(${target} PRIVATE PLEXA_HAS_${upper}_VARIANT)
endfunction()
