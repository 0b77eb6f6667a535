#include "entry/cell_fields.h"

#include "core/text.h"

namespace veldor {

namespace {
// A value as a field shows it: fixed-point with 6 decimals, its trailing
// zeros (and a bare point) removed.
std::string short_number(double v) {
    std::string s = format_fixed(v, 0, 6);
    if (s.find('.') != std::string::npos) {
        while (s.back() == '0')
            s.pop_back();
        if (s.back() == '.') s.pop_back();
    }
    return s == "-0" ? "0" : s;
}
}  // namespace

std::array<std::string, 6> cell_field_texts(const std::array<double, 6>& cell) {
    std::array<std::string, 6> texts;
    bool any = false;
    for (double v : cell)
        any = any || v != 0;
    if (!any) return texts;
    for (std::size_t i = 0; i < 6; ++i)
        texts[i] = short_number(cell[i]);
    return texts;
}

CellRead read_cell_fields(const std::array<std::string, 6>& texts) {
    CellRead r;
    double product = 1;
    for (std::size_t i = 0; i < 6; ++i) {
        const std::optional<double> v = parse_double(tidy_number_text(trim(texts[i])));
        if (!v) {
            r.field = static_cast<int>(i);
            return r;
        }
        r.cell[i] = *v;
        product *= *v;
    }
    r.status = product == 0 ? CellReadStatus::ZeroProduct : CellReadStatus::Read;
    return r;
}

}  // namespace veldor
