#pragma once
// How numbers and service-icon lists are kept as attribute text in the item
// document. No Windows header: plain text rules.

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace grouplist {

// The leading number of the text (optional spaces, sign, digits, fraction),
// truncated toward zero and held to the 32-bit range; 0 when there is none.
[[nodiscard]] int ParseNumber(std::wstring_view text);

// [3, 7, 12] -> "3,7,12"; an empty list gives empty text.
[[nodiscard]] std::wstring EncodeServiceIcons(std::span<const int> icons);

// Text without a comma gives one number (empty or non-numeric text gives 0);
// otherwise one number per comma-separated piece, so "3,,12" is [3, 0, 12].
[[nodiscard]] std::vector<int> DecodeServiceIcons(std::wstring_view text);

} // namespace grouplist
