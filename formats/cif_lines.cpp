// The line rules: a CIF read line by line, for files that the strict parser
// refuses (an unquoted value with blanks, a loop whose rows do not fill it,
// an unclosed quote or text field). Items are found by the first word of a
// line; a single item's value is the rest of its line (blanks and all) or
// the next line or text field; a loop row is one line, continued on the
// next ones until it holds a value for every item, so that a fault stays
// within its row.

#include <algorithm>
#include <cctype>

#include "core/text.h"
#include "formats/cif_lines.h"
#include "formats/cif_record.h"
#include "formats/cif_tags.h"

namespace veldor {

namespace {

using namespace cif_tags;

bool starts_with_nocase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) return false;
    return true;
}

bool is_blank(char c) {
    return c == ' ' || c == '\t';
}

std::string first_word(std::string_view t) {
    std::size_t e = 0;
    while (e < t.size() && !is_blank(t[e]))
        ++e;
    return std::string(t.substr(0, e));
}

// A value without its quotes when the whole text is one quoted string.
std::string unquoted(std::string_view v) {
    std::string t = trim(v);
    if (t.size() >= 2 && (t.front() == '\'' || t.front() == '"') && t.back() == t.front())
        return t.substr(1, t.size() - 2);
    return t;
}

// "?" and "." are unknown; ".5" and "-.5" get their "0" (the reading of
// numbers written without one).
std::string tidy_value(std::string v, bool quoted) {
    if (!quoted && (v == "." || v == "?")) return kCifUnknown;
    if (quoted && v.empty()) return kCifUnknown;
    if (!quoted && v.size() > 1 && v[0] == '.') v.insert(0, "0");
    if (!quoted && v.size() > 2 && v[0] == '-' && v[1] == '.') v.insert(1, "0");
    return v;
}

// The values of one row line. A quote opens a value only at the start of a
// word and closes it before a blank or the end of the line; an unbalanced
// quote is an ordinary character. A word starting with "#" ends the line.
std::vector<std::string> row_values(std::string_view line) {
    std::vector<std::string> out;
    std::size_t i = 0;
    const std::size_t n = line.size();
    while (i < n) {
        while (i < n && is_blank(line[i]))
            ++i;
        if (i >= n || line[i] == '#') break;
        const char q = line[i];
        if (q == '\'' || q == '"') {
            std::size_t j = i + 1;
            while (j < n && !(line[j] == q && (j + 1 == n || is_blank(line[j + 1]))))
                ++j;
            if (j < n) {
                out.push_back(tidy_value(std::string(line.substr(i + 1, j - i - 1)), true));
                i = j + 1;
                continue;
            }
        }
        std::size_t j = i;
        while (j < n && !is_blank(line[j]))
            ++j;
        out.push_back(tidy_value(std::string(line.substr(i, j - i)), false));
        i = j;
    }
    return out;
}

// The text of the line after the first `words` values, for an operator
// written without quotes ("x, y, z").
std::string rest_after_words(std::string_view line, std::size_t words) {
    std::size_t i = 0;
    for (std::size_t w = 0; w < words; ++w) {
        while (i < line.size() && is_blank(line[i]))
            ++i;
        while (i < line.size() && !is_blank(line[i]))
            ++i;
    }
    return unquoted(line.substr(std::min(i, line.size())));
}

// The rest of an item's line: its value, quotes removed, a trailing
// comment dropped from an unquoted value.
std::string item_rest(std::string_view rest) {
    std::string t = trim(rest);
    if (t.empty()) return t;
    if (t.front() != '\'' && t.front() != '"') {
        const std::size_t hash = t.find(" #");
        if (hash != std::string::npos) t = trim(t.substr(0, hash));
    }
    const bool quoted =
        t.size() >= 2 && (t.front() == '\'' || t.front() == '"') && t.back() == t.front();
    return tidy_value(unquoted(t), quoted);
}

bool ends_loop(std::string_view t) {
    return t.empty() || t.front() == '_' || t.front() == ';' || starts_with_nocase(t, "loop_") ||
           starts_with_nocase(t, "data_") || starts_with_nocase(t, "#end");
}

// A line that begins an item, a loop or a data block.
bool starts_data(std::string_view line) {
    return !line.empty() && (line[0] == '_' || starts_with_nocase(line, "loop_") ||
                             starts_with_nocase(line, "data_"));
}

}  // namespace

std::vector<bool> closed_text_fields(const std::vector<std::string>& lines, bool tolerant) {
    std::vector<bool> inside(lines.size(), false);
    std::size_t i = 0;
    while (i < lines.size()) {
        if (lines[i].empty() || lines[i][0] != ';') {
            ++i;
            continue;
        }
        // A field holds text, not items: meeting a line that opens an item, a
        // loop or a block first means that this ";" was never closed.
        std::size_t j = i + 1;
        while (j < lines.size() && (lines[j].empty() || lines[j][0] != ';') &&
               !(tolerant && starts_data(lines[j])))
            ++j;
        if (j >= lines.size() || lines[j][0] != ';') {  // never closed: an ordinary line
            ++i;
            continue;
        }
        for (std::size_t k = i; k <= j; ++k)
            inside[k] = true;
        i = j + 1;
    }
    return inside;
}

std::vector<CifBlockLines> scan_block_lines(const std::vector<std::string>& lines, bool tolerant) {
    const std::vector<bool> field = closed_text_fields(lines, tolerant);
    std::vector<CifBlockLines> blocks;
    bool open = false;
    std::vector<std::string> seen;
    bool cell = false;
    auto close = [&](int end) {
        blocks.back().end = end;
        blocks.back().score = (cell ? 1 : 0) + static_cast<int>(seen.size());
        open = false;
    };
    const int n = static_cast<int>(lines.size());
    for (int i = 0; i < n; ++i) {
        if (field[static_cast<std::size_t>(i)]) continue;
        const std::string t = trim(lines[static_cast<std::size_t>(i)]);
        if (starts_with_nocase(t, "data_")) {
            if (open) close(i);
            CifBlockLines b;
            b.line = i + 1;
            b.name = first_word(t).substr(5);
            blocks.push_back(b);
            open = true;
            cell = false;
            seen.clear();
            continue;
        }
        if (!open) continue;
        if (to_lower(t).find("#end") != std::string::npos) {
            close(i);
            continue;
        }
        // Tags open their line, or follow "loop_" on it.
        std::vector<std::string> words = split_tokens(t);
        if (!words.empty() && to_lower(words[0]) == "loop_") words.erase(words.begin());
        for (const std::string& w : words) {
            if (w.empty() || w[0] != '_') break;
            const std::string k = key(w);
            if (k == kCellLengthA) cell = true;
            if (is_symmetry(k) && std::find(seen.begin(), seen.end(), k) == seen.end())
                seen.push_back(k);
        }
    }
    if (open) close(n);
    return blocks;
}

CifBlockTables tables_from_lines(const std::vector<std::string>& lines, int first_line) {
    CifBlockTables tables;
    const std::vector<bool> field = closed_text_fields(lines, true);
    const std::size_t n = lines.size();
    auto text = [&](std::size_t i) { return trim(lines[i]); };
    std::size_t i = 0;
    while (i < n) {
        const std::string t = text(i);
        if (field[i] || t.empty() || t[0] == '#' ||
            (t[0] != '_' && !starts_with_nocase(t, "loop_"))) {
            ++i;
            continue;
        }
        if (starts_with_nocase(t, "loop_")) {
            CifTable loop;
            loop.loop = true;
            auto take_tags = [&](const std::vector<std::string>& words) {
                for (const std::string& w : words)
                    if (!w.empty() && w[0] == '_') loop.tags.push_back(key(w));
            };
            std::vector<std::string> words = split_tokens(t);
            words.erase(words.begin());
            take_tags(words);
            ++i;
            while (i < n && (text(i).empty() || text(i)[0] == '_')) {
                take_tags(split_tokens(text(i)));
                ++i;
            }
            const std::size_t w = loop.tags.size();
            // An operator that is the last item may be written without quotes.
            const bool operator_last = w > 0 && is_one_of(loop.tags.back(), kOperators);
            for (; i < n && w > 0; ++i) {
                const std::string row_text = text(i);
                if (field[i] || ends_loop(row_text)) {
                    if (row_text.empty()) continue;
                    break;
                }
                if (row_text[0] == '#') continue;
                std::vector<std::string> values = row_values(row_text);
                const bool continuing = !loop.rows.empty() && loop.rows.back().values.size() < w;
                if (!continuing) {
                    CifRow row;
                    row.line = first_line + static_cast<int>(i);
                    if (operator_last && values.size() >= w) {
                        values.resize(w - 1);
                        values.push_back(tidy_value(rest_after_words(row_text, w - 1), true));
                    }
                    loop.rows.push_back(std::move(row));
                }
                for (std::string& v : values)
                    loop.rows.back().values.emplace_back(std::move(v));
            }
            if (w > 0) tables.push_back(std::move(loop));
            continue;
        }
        // A single item: the rest of its line, or the next line, or a text field.
        CifTable item;
        const std::string tag = first_word(t);
        item.tags.push_back(key(tag));
        CifRow row;
        row.line = first_line + static_cast<int>(i);
        std::string value = item_rest(t.substr(tag.size()));
        ++i;
        if (value.empty()) {
            while (i < n && text(i).empty())
                ++i;
            if (i < n && !lines[i].empty() && lines[i][0] == ';') {
                // A text field: its lines joined; an unclosed one gives its first line.
                std::string joined = trim(lines[i].substr(1));
                std::size_t j = i + 1;
                if (field[i]) {
                    for (; j < n && !(!lines[j].empty() && lines[j][0] == ';'); ++j)
                        joined += (joined.empty() ? "" : " ") + trim(lines[j]);
                    ++j;
                } else if (joined.empty() && j < n) {
                    joined = trim(lines[j++]);
                }
                value = joined.empty() ? std::string(kCifUnknown) : joined;
                i = j;
            } else if (i < n && !ends_loop(text(i)) && text(i)[0] != '#') {
                value = item_rest(text(i));
                ++i;
            } else {
                value = kCifUnknown;
            }
        }
        row.values.emplace_back(value);
        item.rows.push_back(std::move(row));
        tables.push_back(std::move(item));
    }
    return tables;
}

}  // namespace veldor
