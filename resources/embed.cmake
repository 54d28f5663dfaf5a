# Writes a C++ source holding one file as an EmbeddedResource record.
# Run with: cmake -DINPUT=<file> -DOUTPUT=<source> -DNAME=<resource name>
#                 -DSYMBOL=<record variable> -P embed.cmake
file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" digits)
math(EXPR size "${digits} / 2")
if(size EQUAL 0)
    set(bytes "0x00")
else()
    # 16 bytes per line, then every byte as 0xNN.
    string(REPEAT "[0-9a-f]" 32 line_pattern)
    string(REGEX REPLACE "(${line_pattern})" "\\1\n" hex "${hex}")
    string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
endif()
file(WRITE "${OUTPUT}"
"// Generated from ${NAME} at build time; do not edit.
#include \"shell/embedded.h\"

namespace Zorv::Resources {

namespace {
const unsigned char bytes[] = {
${bytes}
};
}  // namespace

EmbeddedResource ${SYMBOL} = {\"${NAME}\", ${size}, bytes};

}  // namespace Zorv::Resources
")
