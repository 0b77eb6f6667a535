#include "packaging/man_page.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace veldor {

namespace {

constexpr std::size_t kMaxHeadingWords = 5;

std::string trim(std::string_view s) {
    const std::size_t first = s.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    const std::size_t last = s.find_last_not_of(" \t");
    return std::string(s.substr(first, last - first + 1));
}

int indent_of(std::string_view s) {
    return static_cast<int>(std::min(s.find_first_not_of(' '), s.size()));
}

std::size_t word_count(std::string_view s) {
    std::size_t words = 0;
    bool in_word = false;
    for (char c : s) {
        const bool blank = c == ' ';
        if (!blank && !in_word) ++words;
        in_word = !blank;
    }
    return words;
}

bool is_heading_text(std::string_view t) {
    return !t.empty() && t.back() == ':' && word_count(t) <= kMaxHeadingWords;
}

bool starts_with_word(std::string_view text, std::string_view word) {
    return text.substr(0, word.size()) == word &&
           (text.size() == word.size() || text[word.size()] == ' ');
}

std::string upper(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

// A line of text that troff would take for a request is protected.
std::string protect(std::string line) {
    if (!line.empty() && (line[0] == '.' || line[0] == '\'')) line.insert(0, "\\&");
    return line;
}

std::string bold(std::string_view s) {
    return "\\fB" + troff_escape(s) + "\\fR";
}

// A heading as one quoted argument of .SH or .SS.
std::string heading_argument(std::string_view text) {
    std::string out;
    for (char c : troff_escape(text))
        out += c == '"' ? std::string("\\(dq") : std::string(1, c);
    return "\"" + out + "\"";
}

bool is_variable_name(std::string_view s) {
    return s.find('_') != std::string_view::npos &&
           std::all_of(s.begin(), s.end(), [](unsigned char c) {
               return std::isupper(c) || std::isdigit(c) || c == '_';
           });
}

// Option names and environment variables in bold, their arguments as written.
std::string format_term(std::string_view term) {
    std::string out;
    std::size_t start = 0;
    while (start < term.size()) {
        std::size_t end = term.find(' ', start);
        if (end == std::string_view::npos) end = term.size();
        std::string_view token = term.substr(start, end - start);
        if (!out.empty()) out += ' ';
        std::string_view tail;
        if (!token.empty() && token.back() == ',') {
            tail = token.substr(token.size() - 1);
            token.remove_suffix(1);
        }
        if (!token.empty() && (token[0] == '-' || is_variable_name(token)))
            out += bold(token);
        else
            out += troff_escape(token);
        out += tail;
        start = end + 1;
    }
    return out;
}

std::string format_command(std::string_view line, std::string_view program) {
    return bold(program) + troff_escape(line.substr(program.size()));
}

}  // namespace

std::string troff_escape(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (c == '\\')
            out += "\\e";
        else if (c == '-')
            out += "\\-";
        else
            out += c;
    }
    return out;
}

std::string man_page_from_help(std::string_view help, const ManPageTitle& title) {
    std::vector<std::string> lines;
    for (std::size_t start = 0; start < help.size();) {
        std::size_t end = help.find('\n', start);
        if (end == std::string_view::npos) end = help.size();
        std::string line(help.substr(start, end - start));
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
        start = end + 1;
    }
    const std::string& program = title.program;
    std::size_t i = 0;

    std::vector<std::string> synopsis;
    if (i < lines.size() && lines[i].rfind("Usage:", 0) == 0) {
        synopsis.push_back(trim(std::string_view(lines[i]).substr(6)));
        for (++i; i < lines.size() && indent_of(lines[i]) > 0 &&
                  starts_with_word(trim(lines[i]), program);
             ++i)
            synopsis.push_back(trim(lines[i]));
    }
    while (i < lines.size() && trim(lines[i]).empty())
        ++i;
    std::vector<std::string> summary;
    for (; i < lines.size() && indent_of(lines[i]) == 0 && !trim(lines[i]).empty() &&
           !is_heading_text(trim(lines[i]));
         ++i)
        summary.push_back(trim(lines[i]));

    std::string source = program;
    if (!source.empty())
        source[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(source[0])));
    std::string page = ".TH " + upper(program) + " 1 \"" + title.date + "\" \"" + source + " " +
                       title.version + "\" \"User Commands\"\n";

    std::string name;
    for (const std::string& s : summary)
        name += (name.empty() ? "" : " ") + s;
    name = name.substr(0, name.find(". "));
    if (!name.empty() && name.back() == '.') name.pop_back();
    if (!name.empty())
        name[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(name[0])));
    page += ".SH NAME\n" + troff_escape(program) + " \\- " + troff_escape(name) + "\n";
    if (!synopsis.empty()) {
        page += ".SH SYNOPSIS\n.nf\n";
        for (const std::string& s : synopsis)
            page += starts_with_word(s, program) ? format_command(s, program) + "\n"
                                                 : protect(troff_escape(s)) + "\n";
        page += ".fi\n";
    }
    page += ".SH DESCRIPTION\n";
    for (const std::string& s : summary)
        page += protect(troff_escape(s)) + "\n";

    enum class Mode { None, Text, Entry, Command };
    Mode mode = summary.empty() ? Mode::None : Mode::Text;
    bool paragraph_ended = false;
    int text_column = -1;  // where the text of the last entry starts
    auto end_command = [&] {
        if (mode != Mode::Command) return;
        page += ".fi\n.RE\n";
        mode = Mode::Text;  // text after a command line opens a paragraph
        paragraph_ended = true;
    };
    for (; i < lines.size(); ++i) {
        const std::string t = trim(lines[i]);
        const int indent = indent_of(lines[i]);
        if (t.empty()) {
            end_command();
            paragraph_ended = true;
            text_column = -1;
            continue;
        }
        if (indent == 0 && is_heading_text(t)) {
            end_command();
            page += ".SH " + heading_argument(upper(t.substr(0, t.size() - 1))) + "\n";
            mode = Mode::None;
            paragraph_ended = false;
            continue;
        }
        if (mode == Mode::Entry && text_column > 0 && indent >= text_column) {
            page += protect(troff_escape(t)) + "\n";
            continue;
        }
        if (indent > 0 && starts_with_word(t, program)) {
            if (mode != Mode::Command) page += ".RS\n.nf\n";
            page += format_command(t, program) + "\n";
            mode = Mode::Command;
            continue;
        }
        end_command();
        const std::size_t gap = t.find("  ");
        if (indent > 0 && gap != std::string::npos) {
            const std::size_t text_start = t.find_first_not_of(' ', gap);
            page += ".TP\n" + protect(format_term(t.substr(0, gap))) + "\n" +
                    protect(troff_escape(t.substr(text_start))) + "\n";
            text_column = indent + static_cast<int>(text_start);
            mode = Mode::Entry;
            paragraph_ended = false;
            continue;
        }
        if (indent > 0 && is_heading_text(t)) {
            page += ".SS " + heading_argument(t.substr(0, t.size() - 1)) + "\n";
            mode = Mode::None;
            paragraph_ended = false;
            continue;
        }
        if (mode == Mode::Entry || (mode == Mode::Text && paragraph_ended)) page += ".PP\n";
        page += protect(troff_escape(t)) + "\n";
        mode = Mode::Text;
        paragraph_ended = false;
    }
    end_command();
    return page;
}

}  // namespace veldor
