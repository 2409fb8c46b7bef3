# cmake -DIN=<file> -DOUT=<header> -DNAME=<symbol> -P EmbedFile.cmake
# Writes the file's bytes as a C++ array <NAME> with its size <NAME>Size.
file(READ "${IN}" hex HEX)
string(LENGTH "${hex}" hexlen)
math(EXPR size "${hexlen} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "(0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,)" "\\1\n    " bytes "${bytes}")
file(WRITE "${OUT}" "#pragma once\n// Generated from ${IN}.\n#include <cstddef>\n#include <cstdint>\n"
     "inline constexpr uint8_t ${NAME}[] = {\n    ${bytes}\n};\n"
     "inline constexpr size_t ${NAME}Size = ${size};\n")
