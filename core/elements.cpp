#include "core/elements.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <fstream>
#include <map>
#include <sstream>

#include "core/data_files.h"
#include "core/text.h"

namespace veldor {

namespace {

struct DefaultColour {
    const char* symbol;
    Colour colour;
};

constexpr Colour kRed = rgb(255, 0, 0);
constexpr Colour kSilver = rgb(192, 192, 192);
constexpr Colour kGrey = rgb(128, 128, 128);
constexpr Colour kGreen = rgb(0, 128, 0);
constexpr Colour kLime = rgb(0, 255, 0);
constexpr Colour kMagenta = rgb(255, 0, 255);
constexpr Colour kBlue = rgb(0, 0, 255);
constexpr Colour kPurple = rgb(128, 0, 128);
constexpr Colour kTeal = rgb(0, 128, 128);
constexpr Colour kMaroon = rgb(128, 0, 0);
constexpr Colour kW = kWhite;

// Table order matters: the symbols double as the element list of the
// readers (atomic number n is entry n for H ... NP).
constexpr std::array<DefaultColour, 95> kDefaultColours{{
    {"H", kRed},     {"HE", kRed},   {"LI", kW},    {"BE", kW},      {"B", kSilver},
    {"C", kGrey},    {"N", kGreen},  {"O", kLime},  {"F", kMagenta}, {"NE", kW},
    {"NA", kYellow}, {"MG", kW},     {"AL", kW},    {"SI", kBlue},   {"P", kPurple},
    {"S", kYellow},  {"CL", kTeal},  {"AR", kW},    {"K", kW},       {"CA", kBlue},
    {"SC", kW},      {"TI", kW},     {"V", kGrey},  {"CR", kSilver}, {"MN", kPurple},
    {"FE", kMaroon}, {"CO", kGreen}, {"NI", kBlue}, {"CU", kTeal},   {"ZN", kGrey},
    {"GA", kW},      {"GE", kW},     {"AS", kW},    {"SE", kSilver}, {"BR", kMagenta},
    {"KR", kW},      {"RB", kW},     {"SR", kW},    {"Y", kW},       {"ZR", kW},
    {"NB", kW},      {"MO", kW},     {"TC", kW},    {"RU", kW},      {"RH", kW},
    {"PD", kW},      {"AG", kW},     {"CD", kW},    {"IN", kW},      {"SN", kW},
    {"SB", kW},      {"TE", kW},     {"I", kW},     {"XE", kW},      {"CS", kW},
    {"BA", kW},      {"LA", kW},     {"CE", kW},    {"PR", kW},      {"ND", kW},
    {"PM", kW},      {"SM", kW},     {"EU", kW},    {"GD", kW},      {"TB", kW},
    {"DY", kW},      {"HO", kW},     {"ER", kW},    {"TM", kW},      {"YB", kW},
    {"LU", kW},      {"HF", kW},     {"TA", kW},    {"W", kW},       {"RE", kW},
    {"OS", kW},      {"IR", kW},     {"PT", kW},    {"AU", kW},      {"HG", kW},
    {"TL", kW},      {"PB", kW},     {"BI", kW},    {"PO", kW},      {"AT", kW},
    {"RN", kW},      {"FR", kW},     {"RA", kW},    {"AC", kW},      {"TH", kW},
    {"PA", kW},      {"U", kW},      {"NP", kW},    {"D", kRed},     {"DU", kRed},
}};

constexpr std::string_view kDummyKey = "DU";

// Splits a text into lines, accepting LF, CR LF and a lone CR.
std::vector<std::string_view> split_lines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\n' && text[i] != '\r') continue;
        lines.push_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

}  // namespace

std::string element_key(std::string_view element) {
    const std::string key = to_upper(trim(element));
    return key.substr(0, std::min<std::size_t>(key.size(), kSymbolLength));
}

std::string element_display_text(std::string_view element) {
    std::string shown = trim(element);
    if (shown.size() >= 2)
        shown[1] = static_cast<char>(std::tolower(static_cast<unsigned char>(shown[1])));
    return shown;
}

Colour default_element_colour(std::string_view symbol) {
    for (const DefaultColour& entry : kDefaultColours)
        if (symbol == entry.symbol) return entry.colour;
    return kWhite;
}

const std::vector<std::string>& default_colour_symbols() {
    static const std::vector<std::string> symbols = [] {
        std::vector<std::string> s;
        for (const DefaultColour& entry : kDefaultColours)
            s.emplace_back(entry.symbol);
        return s;
    }();
    return symbols;
}

RadiiTable parse_radii(std::string_view text) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    RadiiTable radii;
    std::string symbol;
    bool have_symbol = false;
    for (std::string_view line : split_lines(text)) {
        const std::string trimmed = trim(line);
        if (trimmed.empty()) continue;
        if (!have_symbol) {
            symbol = element_key(trimmed);
            have_symbol = true;
            continue;
        }
        const std::vector<std::string> words = split_tokens(trimmed, " \t");
        const std::optional<double> radius =
            words.empty() ? std::nullopt : parse_double(words.front());
        if (!radius) break;
        auto known = std::find_if(radii.begin(), radii.end(),
                                  [&](const auto& entry) { return entry.first == symbol; });
        if (known != radii.end())
            known->second = *radius;
        else
            radii.emplace_back(symbol, *radius);
        have_symbol = false;
    }
    return radii;
}

RadiiTable load_radii(const std::string& data_directory) {
    const std::optional<std::string> path = find_file_nocase(data_directory, kRadiiFileName);
    if (!path) return {};
    std::ifstream in(*path, std::ios::binary);
    if (!in) return {};
    std::ostringstream content;
    content << in.rdbuf();
    return parse_radii(content.str());
}

std::optional<double> find_radius(const RadiiTable& radii, std::string_view key) {
    for (auto entry = radii.rbegin(); entry != radii.rend(); ++entry)
        if (entry->first == key) return entry->second;
    return std::nullopt;
}

bool build_element_sorts(StructureDocument& doc, const RadiiTable& radii, Messages& messages) {
    const bool from_vld = !doc.vld_file.empty();
    std::map<std::string, Colour> previous_colours;
    if (from_vld)
        for (const ElementSort& sort : doc.element_sorts)
            previous_colours.emplace(element_key(sort.symbol), sort.colour);

    std::vector<ElementSort> sorts;
    bool overflow = false;
    for (Atom& atom : doc.asym) {
        atom.element_index = 0;
        if (atom.name.empty()) continue;
        const std::string key = element_key(atom.element);
        auto found = std::find_if(sorts.begin(), sorts.end(),
                                  [&](const ElementSort& s) { return s.symbol == key; });
        if (found == sorts.end()) {
            if (static_cast<int>(sorts.size()) >= kMaxElementSorts) {
                overflow = true;
                continue;
            }
            ElementSort sort;
            sort.symbol = key;
            sorts.push_back(sort);
            found = sorts.end() - 1;
        }
        atom.element_index = static_cast<int>(found - sorts.begin()) + 1;
    }

    for (ElementSort& sort : sorts) {
        sort.radius = find_radius(radii, sort.symbol).value_or(0.0);
        sort.colour = default_element_colour(sort.symbol);
        if (from_vld) {
            auto kept = previous_colours.find(sort.symbol);
            if (kept != previous_colours.end()) sort.colour = kept->second;
        }
    }
    if (!from_vld) {
        doc.bond_colour = kYellow;
        doc.background_colour = kWhite;
    }
    doc.element_sorts = std::move(sorts);

    if (overflow) messages.warn(kTooManyElementSortsMessage);
    return !overflow;
}

void colour_atoms(std::vector<Atom>& atoms, const std::vector<ElementSort>& sorts) {
    for (Atom& atom : atoms) {
        const std::string key = element_key(atom.element);
        if (key == kDummyKey) continue;
        atom.colour = kWhite;
        for (const ElementSort& sort : sorts) {
            if (to_upper(trim(sort.symbol)) == key) {
                atom.colour = sort.colour;
                break;
            }
        }
    }
}

void colour_generated_atoms(StructureDocument& doc) {
    colour_atoms(doc.gen, doc.element_sorts);
}

}  // namespace veldor
