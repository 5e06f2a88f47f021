#include "grouplist/ItemText.h"

#include <climits>
#include <cmath>

namespace grouplist {

int ParseNumber(std::wstring_view text)
{
    size_t i = 0;
    while (i < text.size() && (text[i] == L' ' || text[i] == L'\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-'))
        negative = text[i++] == L'-';
    // Digits beyond the 32-bit range only matter for saturation, so a double
    // carries the whole part; the fraction is dropped, which truncates.
    double whole = 0;
    bool any = false;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
        whole = whole * 10 + (text[i] - L'0');
        any = true;
    }
    if (!any)
        return 0;
    if (negative)
        whole = -whole;
    if (whole >= static_cast<double>(INT_MAX))
        return INT_MAX;
    if (whole <= static_cast<double>(INT_MIN))
        return INT_MIN;
    return static_cast<int>(whole);
}

std::wstring EncodeServiceIcons(std::span<const int> icons)
{
    std::wstring text;
    for (size_t i = 0; i < icons.size(); ++i) {
        if (i > 0)
            text += L',';
        text += std::to_wstring(icons[i]);
    }
    return text;
}

std::vector<int> DecodeServiceIcons(std::wstring_view text)
{
    std::vector<int> icons;
    size_t start = 0;
    for (;;) {
        const size_t comma = text.find(L',', start);
        icons.push_back(ParseNumber(text.substr(start, comma == std::wstring_view::npos ? comma : comma - start)));
        if (comma == std::wstring_view::npos)
            return icons;
        start = comma + 1;
    }
}

} // namespace grouplist
