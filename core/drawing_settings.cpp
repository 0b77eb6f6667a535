#include "core/drawing_settings.h"

#include "core/text.h"

namespace veldor {

std::string font_style_text(const FontStyle& style) {
    std::string text;
    auto add = [&text](const char* word) {
        if (!text.empty()) text += ", ";
        text += word;
    };
    if (style.bold) add("Bold");
    if (style.italic) add("Italic");
    if (style.underline) add("Underline");
    if (style.strikeout) add("Strikeout");
    return text;
}

FontStyle font_style_from_text(std::string_view text) {
    FontStyle style;
    for (const std::string& word : split_tokens(text, " ,\t")) {
        const std::string w = to_upper(word);
        if (w == "BOLD") style.bold = true;
        if (w == "ITALIC") style.italic = true;
        if (w == "UNDERLINE") style.underline = true;
        if (w == "STRIKEOUT") style.strikeout = true;
    }
    return style;
}

void reset_orientation(ViewState& view, const Metric& metric) {
    view.rotation = identity3();
    view.rotation_inverse = identity3();
    view.view_matrix = metric.frac_to_cart;
    view.view_matrix_inverse = metric.cart_to_frac;
    view.orientation_matrix = metric.B_inverse;
    view.orientation_inverse = metric.B;
}

bool derive_view_matrices(ViewState& view, const Metric& metric) {
    const InverseResult inv = inverse(view.view_matrix_inverse);
    if (inv.singular) return false;
    view.view_matrix = inv.inverse;
    view.rotation_inverse = multiply(metric.frac_to_cart, view.view_matrix_inverse);
    view.rotation = multiply(view.view_matrix, metric.cart_to_frac);
    view.orientation_matrix = multiply(metric.B_inverse, view.rotation_inverse);
    view.orientation_inverse = multiply(view.rotation, metric.B);
    return true;
}

}  // namespace veldor
