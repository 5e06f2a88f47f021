# Writes INPUT as a C++ byte array: NAMESPACE::SYMBOLBytes and SYMBOLSize,
# declared in HEADER.
file(READ ${INPUT} hex HEX)
string(LENGTH "${hex}" hex_length)
math(EXPR size "${hex_length} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "(0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,)" "\\1\n    " bytes "${bytes}")
get_filename_component(input_name ${INPUT} NAME)
file(WRITE ${OUTPUT}
"// Generated from res/${input_name}; do not edit.\n"
"#include \"${HEADER}\"\n\n"
"namespace ${NAMESPACE} {\n"
"const unsigned char ${SYMBOL}Bytes[${size}] = {\n    ${bytes}\n};\n"
"const std::size_t ${SYMBOL}Size = ${size};\n"
"}\n")
