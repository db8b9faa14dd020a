#include "files/QuantityTitles.h"

#include <array>

namespace files {

std::string_view QuantityTitle(Quantity quantity, bool footCandles)
{
    static constexpr std::array<std::string_view, QuantityCount> Titles = {
        "X",  "Y",       "Z",        "Ev (lx)",         "x",  "y", "u'",
        "v'", "Tcp (K)", "delta-uv", "Wavelength (nm)", "Pe", "Pc"};
    if (quantity == Quantity::Ev && footCandles)
        return "Ev (fc)";
    const auto index = static_cast<std::size_t>(quantity);
    return index < Titles.size() ? Titles[index] : std::string_view();
}

} // namespace files
