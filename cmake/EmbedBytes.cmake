# Writes INPUT as a C++ byte array: app::kDefaultItemPicture.
file(READ ${INPUT} hex HEX)
string(LENGTH "${hex}" hex_length)
math(EXPR size "${hex_length} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "(0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,)" "\\1\n    " bytes "${bytes}")
file(WRITE ${OUTPUT}
"// Generated from res/default-item.bmp; do not edit.\n"
"#include \"app/DefaultItemPicture.h\"\n\n"
"namespace app {\n"
"const unsigned char kDefaultItemPictureBytes[${size}] = {\n    ${bytes}\n};\n"
"const std::size_t kDefaultItemPictureSize = ${size};\n"
"}\n")
