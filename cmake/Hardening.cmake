# The hardening of Debian's build flags (dpkg-buildflags with hardening=+all) for every Linux build:
# stack protector, fortified libc calls, format checks, relocations read-only and bound at start.
# The Windows programs keep the linker's defaults, named here so that nothing turns them off:
# relocatable (ASLR), non-executable data (DEP), high-entropy addresses.
if(WIN32)
    add_link_options(-Wl,--dynamicbase -Wl,--nxcompat -Wl,--high-entropy-va)
elseif(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    add_compile_options(-fstack-protector-strong -Wformat -Werror=format-security)
    # The fortified calls need the optimiser: a Debug build would only warn that they are off.
    # Options, not definitions, so that the -U comes before the -D on the command line.
    add_compile_options("$<$<NOT:$<CONFIG:Debug>>:-U_FORTIFY_SOURCE;-D_FORTIFY_SOURCE=2>")
    add_link_options(-Wl,-z,relro -Wl,-z,now)
endif()
