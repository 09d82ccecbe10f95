#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace memro {

// A settings value as a number of the given width: plain decimal text with an optional
// sign and fraction, rounded to the nearest whole number with halves going to the even
// neighbour. Nothing for any other text and for a result outside the width.
std::optional<std::int16_t> ToInt16(std::string_view text);
std::optional<std::int32_t> ToInt32(std::string_view text);

}  // namespace memro
