#include "grouplist/NameFolding.h"

namespace grouplist {

namespace {

// Latin Extended-A pairs each capital with the small letter after it, except
// for two runs that start on an odd code point and a few letters without a twin.
wchar_t LowerLatinExtendedA(wchar_t c)
{
    if (c == 0x0130)
        return L'i'; // İ: its small form is the plain i
    if (c == 0x0178)
        return 0x00FF; // Ÿ: its small form is in Latin-1
    const bool oddCapitals = (c >= 0x0139 && c <= 0x0148) || (c >= 0x0179 && c <= 0x017E);
    const bool evenCapitals = (c >= 0x0100 && c <= 0x0137) || (c >= 0x014A && c <= 0x0177);
    if ((oddCapitals && c % 2 == 1) || (evenCapitals && c % 2 == 0))
        return static_cast<wchar_t>(c + 1);
    return c;
}

wchar_t Fold(wchar_t c)
{
    if (c >= 0xFF01 && c <= 0xFF5E) // full-width forms of "!" to "~"
        c = static_cast<wchar_t>(c - 0xFEE0);
    else if (c == 0x3000) // the ideographic space
        c = L' ';
    if ((c >= L'A' && c <= L'Z') || (c >= 0x00C0 && c <= 0x00DE && c != 0x00D7))
        return static_cast<wchar_t>(c + 0x20);
    if (c >= 0x0100 && c <= 0x017F)
        return LowerLatinExtendedA(c);
    return c;
}

} // namespace

std::wstring FoldForSearch(std::wstring_view text)
{
    std::wstring folded(text);
    for (wchar_t& c : folded)
        c = Fold(c);
    return folded;
}

} // namespace grouplist
