# The hardening Debian builds its own packages with (dpkg-buildflags with
# hardening=+all; GCC on Debian makes position-independent executables
# already), so that the package carries the same protection as any other.
#
# Fortification works only on optimised code and warns otherwise, so Debug
# builds go without it. Sanitizer and fuzzer builds go without all of it: the
# fortified library calls would bypass AddressSanitizer's own checks.
option(QORNV_HARDENING "Build with Debian's hardening flags (fortify, stack protector, full RELRO)" ON)

#
# Windows builds take what the MinGW linker gives every program (address space
# layout randomisation, data execution prevention); the stack protector and
# fortification would need MinGW's libssp beside the programs, and RELRO is ELF's.
if(QORNV_HARDENING AND NOT QORNV_SANITIZE AND NOT QORNV_FUZZ AND NOT WIN32)
    add_compile_options(-fstack-protector-strong)
    add_compile_definitions($<$<NOT:$<CONFIG:Debug>>:_FORTIFY_SOURCE=2>)
    add_link_options(LINKER:-z,relro LINKER:-z,now)
endif()
if(WIN32)
    add_link_options(LINKER:--dynamicbase LINKER:--nxcompat LINKER:--high-entropy-va)
endif()
