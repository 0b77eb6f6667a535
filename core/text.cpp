#include "core/text.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>

namespace veldor {

std::string to_upper(std::string_view s) {
    std::string r(s);
    for (char& c : r)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return r;
}

std::string to_lower(std::string_view s) {
    std::string r(s);
    for (char& c : r)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return r;
}

namespace {
bool is_blank(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}
}  // namespace

std::string trim_left(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size() && is_blank(s[i]))
        ++i;
    return std::string(s.substr(i));
}

std::string trim_right(std::string_view s) {
    std::size_t n = s.size();
    while (n > 0 && is_blank(s[n - 1]))
        --n;
    return std::string(s.substr(0, n));
}

std::string trim(std::string_view s) {
    return trim_left(trim_right(s));
}

std::string remove_spaces(std::string_view s) {
    std::string r;
    for (char c : s)
        if (c != ' ') r += c;
    return r;
}

std::string format_fixed(double value, int width, int decimals) {
    if (!std::isfinite(value))
        return pad_left(std::isnan(value) ? "NAN" : (value < 0 ? "-INF" : "INF"), width);
    char buf[400];
    auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
    return pad_left(std::string_view(buf, static_cast<std::size_t>(res.ptr - buf)), width);
}

std::string format_int(long long value, int width) {
    return pad_left(std::to_string(value), width);
}

std::string pad_right(std::string_view text, int width) {
    std::string r(text);
    if (static_cast<int>(r.size()) < width)
        r.append(static_cast<std::size_t>(width) - r.size(), ' ');
    return r;
}

std::string pad_left(std::string_view text, int width) {
    std::string r;
    if (static_cast<int>(text.size()) < width)
        r.assign(static_cast<std::size_t>(width) - text.size(), ' ');
    r += text;
    return r;
}

std::optional<double> parse_double(std::string_view text) {
    std::string t = trim(text);
    if (t.empty()) return std::nullopt;
    std::string_view v = t;
    if (v.front() == '+') {
        v.remove_prefix(1);
        if (v.empty() || v.front() == '+' || v.front() == '-') return std::nullopt;
    }
    double result = 0;
    auto [ptr, ec] =
        std::from_chars(v.data(), v.data() + v.size(), result, std::chars_format::general);
    if (ec != std::errc() || ptr != v.data() + v.size() || !std::isfinite(result))
        return std::nullopt;
    return result;
}

std::optional<long long> parse_int(std::string_view text) {
    std::string t = trim(text);
    std::string_view v = t;
    if (!v.empty() && v.front() == '+') v.remove_prefix(1);
    if (v.empty()) return std::nullopt;
    long long result = 0;
    auto [ptr, ec] = std::from_chars(v.data(), v.data() + v.size(), result);
    if (ec != std::errc() || ptr != v.data() + v.size()) return std::nullopt;
    return result;
}

std::string not_an_integer_message(std::string_view text) {
    return "'" + std::string(text) + "' is not a valid integer value";
}

std::vector<std::string> split_tokens(std::string_view text, std::string_view separators) {
    std::vector<std::string> out;
    std::string current;
    for (char c : text) {
        if (separators.find(c) != std::string_view::npos) {
            if (!current.empty()) out.push_back(std::move(current));
            current.clear();
        } else {
            current += c;
        }
    }
    if (!current.empty()) out.push_back(std::move(current));
    return out;
}

std::string tidy_number_text(std::string_view text) {
    std::string t(text);
    if (t.empty()) return "0";
    for (std::size_t p; (p = t.find(" .")) != std::string::npos;)
        t[p] = '0';
    for (std::size_t p; (p = t.find(". ")) != std::string::npos;)
        t[p + 1] = '0';
    for (std::size_t p = 0; (p = t.find("-.", p)) != std::string::npos; p += 2)
        t.insert(t.begin() + static_cast<std::ptrdiff_t>(p) + 1, '0');
    if (t.back() == '.') t += '0';
    return t;
}

}  // namespace veldor
