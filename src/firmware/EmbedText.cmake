# cmake -P EmbedText.cmake: writes OUTPUT, a C++ source defining SYMBOL (an unsigned char array
# of the bytes of INPUT and a terminating 0) and SIZE_SYMBOL (a std::size_t, the 0 not counted).
# Runs in CMake itself, so it works the same when cross-compiling.
foreach(var INPUT OUTPUT SYMBOL SIZE_SYMBOL NAMESPACE)
    if(NOT DEFINED ${var})
        message(FATAL_ERROR "EmbedText.cmake needs -D${var}=...")
    endif()
endforeach()

file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" hex_length)
math(EXPR size "${hex_length} / 2")
# "0x3a," for every byte, 16 a line (CMake's regular expressions have no {n}).
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REPEAT "0x..," 16 line_pattern)
string(REGEX REPLACE "(${line_pattern})" "\\1\n" bytes "${bytes}")

get_filename_component(input_name "${INPUT}" NAME)
file(WRITE "${OUTPUT}.tmp"
    "// Generated from ${input_name} at build time; do not edit.\n"
    "#include <cstddef>\n\n"
    "namespace ${NAMESPACE} {\n\n"
    "extern const unsigned char ${SYMBOL}[];\n"
    "extern const std::size_t ${SIZE_SYMBOL};\n\n"
    "const unsigned char ${SYMBOL}[] = {\n${bytes}0x00};\n"
    "const std::size_t ${SIZE_SYMBOL} = ${size};\n\n"
    "}  // namespace ${NAMESPACE}\n")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
