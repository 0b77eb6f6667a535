#include "formats/text_file.h"

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

#include "core/text.h"

namespace veldor {

std::vector<std::string> split_lines(std::string_view text) {
    std::vector<std::string> lines;
    std::string current;
    bool open = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\n' || c == '\r') {
            lines.push_back(std::move(current));
            current.clear();
            open = false;
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            current += c;
            open = true;
        }
    }
    if (open) lines.push_back(std::move(current));
    return lines;
}

std::optional<std::string> read_file_text(const std::string& path, Messages& messages) {
    std::ifstream in(path, std::ios::binary);
    std::error_code ec;
    if (!in || std::filesystem::is_directory(path, ec)) {
        messages.warn("Cannot open the file " + path);
        return std::nullopt;
    }
    std::ostringstream buffer;
    buffer << in.rdbuf();
    if (in.bad()) {
        messages.warn("Cannot open the file " + path);
        return std::nullopt;
    }
    return buffer.str();
}

std::string normalise_label(std::string_view name) {
    std::string s = to_upper(trim(name));
    if (s.size() >= 2 && !std::isalpha(static_cast<unsigned char>(s[1])) && s[1] != ' ')
        s.insert(1, " ");
    return s;
}

std::optional<std::vector<double>> split_numbers(std::string_view text, bool commas) {
    std::vector<double> values;
    for (const std::string& piece : split_tokens(text, commas ? " \t," : " \t")) {
        const auto v = parse_double(piece);
        if (!v) return std::nullopt;
        values.push_back(*v);
    }
    return values;
}

std::string fixed_field(double value, int width, int decimals) {
    std::string s = format_fixed(value, 0, decimals);
    if (!s.empty() && s[0] == '-' && s.find_first_not_of("-0.") == std::string::npos) s.erase(0, 1);
    return pad_left(s, width);
}

}  // namespace veldor
