#include "formats/cif_read.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/adp.h"
#include "core/elements.h"
#include "core/mat3.h"
#include "core/metric.h"
#include "core/text.h"
#include "formats/cif_syntax.h"
#include "formats/identify.h"
#include "formats/text_file.h"
#include "symmetry/catalogue.h"
#include "symmetry/interpreter.h"

namespace veldor {

namespace fs = std::filesystem;

namespace {

// Tags compared in lower case, with the dotted DDLm form ("_cell.length_a")
// taken as the underscore form.
std::string tag_key(std::string_view tag) {
    std::string k = to_lower(tag);
    std::replace(k.begin(), k.end(), '.', '_');
    return k;
}

const char* const kCellLengthTag = "_cell_length_a";
const char* const kOperatorTags[] = {"_symmetry_equiv_pos_as_xyz",
                                     "_space_group_symop_operation_xyz"};
const char* const kHmTags[] = {"_symmetry_space_group_name_h-m", "_space_group_name_h-m_alt"};
const char* const kHallTags[] = {"_symmetry_space_group_name_hall", "_space_group_name_hall"};

bool is_symmetry_tag(const std::string& key) {
    for (const char* t : kOperatorTags)
        if (key == t) return true;
    for (const char* t : kHmTags)
        if (key == t) return true;
    for (const char* t : kHallTags)
        if (key == t) return true;
    return false;
}

// The columns of one loop, or of a block's single items seen as a one-row table.
class CifTable {
  public:
    CifTable() = default;
    static CifTable of_loop(const CifItem* loop) {
        CifTable t;
        t.loop_ = loop;
        return t;
    }
    static CifTable of_pairs(const CifBlockData* block) {
        CifTable t;
        t.block_ = block;
        return t;
    }
    bool valid() const { return loop_ || block_; }
    int rows() const {
        if (loop_) return static_cast<int>(loop_->rows());
        return block_ ? 1 : 0;
    }
    // Column of a tag, -1 when absent.
    int column(std::string_view tag) {
        const std::string key = tag_key(tag);
        if (loop_) {
            for (std::size_t i = 0; i < loop_->tags.size(); ++i)
                if (tag_key(loop_->tags[i]) == key) return static_cast<int>(i);
            return -1;
        }
        if (!block_) return -1;
        for (const CifItem& item : block_->items)
            if (!item.loop && !item.tags.empty() && !item.values.empty() &&
                tag_key(item.tags[0]) == key) {
                pairs_.push_back(&item.values[0]);
                return static_cast<int>(pairs_.size()) - 1;
            }
        return -1;
    }
    // The value without quotes; "" for "?" and ".".
    std::string value(int row, int col) const {
        if (col < 0 || row < 0 || row >= rows()) return {};
        if (loop_) {
            const std::size_t w = loop_->tags.size();
            const std::size_t i = static_cast<std::size_t>(row) * w + static_cast<std::size_t>(col);
            return i < loop_->values.size() ? loop_->values[i] : std::string();
        }
        if (static_cast<std::size_t>(col) >= pairs_.size()) return {};
        return *pairs_[static_cast<std::size_t>(col)];
    }

  private:
    const CifItem* loop_ = nullptr;
    const CifBlockData* block_ = nullptr;
    std::vector<const std::string*> pairs_;
};

// The table holding `tag`: its loop, or the block's single items.
CifTable find_table(const CifBlockData& block, std::string_view tag) {
    const std::string key = tag_key(tag);
    for (const CifItem& item : block.items)
        for (const std::string& t : item.tags)
            if (tag_key(t) == key)
                return item.loop ? CifTable::of_loop(&item) : CifTable::of_pairs(&block);
    return {};
}

// The first value of a tag (single item or loop column), nullopt when absent.
std::optional<std::string> find_value(const CifBlockData& block, std::string_view tag) {
    CifTable t = find_table(block, tag);
    if (!t.valid()) return std::nullopt;
    const int col = t.column(tag);
    if (col < 0 || t.rows() == 0) return std::nullopt;
    return t.value(0, col);
}

// Which of a set of tags comes first in the block.
std::optional<std::string> first_tag_present(const CifBlockData& block,
                                             const std::vector<const char*>& tags) {
    for (const CifItem& item : block.items)
        for (const std::string& t : item.tags) {
            const std::string k = tag_key(t);
            for (const char* wanted : tags)
                if (k == wanted) return std::string(wanted);
        }
    return std::nullopt;
}

int block_score(const CifBlockData& block) {
    bool cell = false;
    int symmetry = 0;
    std::vector<std::string> seen;
    auto count = [&](const std::string& tag) {
        const std::string k = tag_key(tag);
        if (k == kCellLengthTag) cell = true;
        if (is_symmetry_tag(k) && std::find(seen.begin(), seen.end(), k) == seen.end()) {
            seen.push_back(k);
            ++symmetry;
        }
    };
    for (const CifItem& item : block.items)
        for (const std::string& t : item.tags)
            count(t);
    return (cell ? 1 : 0) + symmetry;
}

std::string base_name(const std::string& path) {
    return fs::path(path).filename().string();
}

// Strips a byte-order mark and turns CR LF and lone CR into LF, so that line
// numbers agree between the parser and the block scan.
std::string normalise_text(std::string_view text) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r') {
            out += '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            out += c;
        }
    }
    return out;
}

struct ParsedCif {
    std::string text;
    std::vector<std::string> lines;
    std::vector<CifBlockData> data;
    std::vector<CifBlockInfo> blocks;
};

// Data-block headers found line by line, outside text fields: (line, name,
// end line). A "#end" line or the next header closes a block.
struct ScannedHeader {
    int line = 0;
    int end = 0;
    std::string name;
};

std::vector<ScannedHeader> scan_headers(const std::vector<std::string>& lines) {
    std::vector<ScannedHeader> headers;
    bool in_field = false;
    bool open = false;
    const int n = static_cast<int>(lines.size());
    for (int i = 0; i < n; ++i) {
        const std::string& line = lines[static_cast<std::size_t>(i)];
        if (!line.empty() && line[0] == ';') {
            in_field = !in_field;
            continue;
        }
        if (in_field) continue;
        const std::string t = to_lower(trim(line));
        if (t.rfind("data_", 0) == 0) {
            if (open) headers.back().end = i;  // the line before, 1-based
            ScannedHeader h;
            h.line = i + 1;
            // The name is the rest of the word ("data_x # note" names "x").
            const std::string rest = trim(line).substr(5);
            h.name = rest.substr(0, rest.find_first_of(" \t"));
            headers.push_back(h);
            open = true;
        } else if (open && t.find("#end") != std::string::npos) {
            headers.back().end = i;
            open = false;
        }
    }
    if (open) headers.back().end = n;
    return headers;
}

std::optional<ParsedCif> parse_cif(std::string_view raw, const std::string& file_name,
                                   Messages& messages) {
    ParsedCif p;
    p.text = normalise_text(raw);
    p.lines = split_lines(p.text);
    const std::string shown = base_name(file_name);
    CifSyntaxResult syntax = parse_cif_syntax(p.text);
    if (!syntax.ok) {
        const std::string where =
            syntax.error_line > 0 ? " at line " + std::to_string(syntax.error_line) : "";
        messages.warn("The file " + shown + " is not a valid CIF: error" + where + ": " +
                      syntax.error_message);
        return std::nullopt;
    }
    p.data = std::move(syntax.blocks);

    const std::vector<ScannedHeader> headers = scan_headers(p.lines);
    std::size_t next_header = 0;
    for (std::size_t b = 0; b < p.data.size(); ++b) {
        const CifBlockData& block = p.data[b];
        CifBlockInfo info;
        info.index = static_cast<int>(b);
        info.name = block.name;
        info.score = block_score(block);
        for (std::size_t h = next_header; h < headers.size(); ++h) {
            if (to_lower(headers[h].name) == to_lower(block.name)) {
                info.start_line = headers[h].line;
                info.end_line = headers[h].end;
                next_header = h + 1;
                break;
            }
        }
        p.blocks.push_back(info);
    }
    return p;
}

CifScan make_scan(const ParsedCif& p, Messages& messages) {
    CifScan scan;
    scan.ok = true;
    scan.blocks = p.blocks;
    bool too_many = false;
    auto add = [&](bool global_pass) {
        for (const CifBlockInfo& b : p.blocks) {
            const bool global = to_upper(b.name) == "GLOBAL";
            if (b.score <= 1 || global != global_pass) continue;
            if (static_cast<int>(scan.candidates.size()) >= kMaxCifBlocks) {
                too_many = true;
                break;
            }
            scan.candidates.push_back(b);
        }
    };
    add(false);
    // A lone "data_global" block holding the structure is read rather than refused.
    if (scan.candidates.empty()) add(true);
    if (too_many)
        messages.warn("The CIF file contains more than " + std::to_string(kMaxCifBlocks) +
                      " data blocks: only the first " + std::to_string(kMaxCifBlocks) +
                      " are listed");
    return scan;
}

// Removes every part in parentheses (a standard uncertainty).
std::string drop_uncertainty(std::string_view text) {
    std::string out;
    bool inside = false;
    for (char c : text) {
        if (c == '(') inside = true;
        if (!inside) out += c;
        if (c == ')') inside = false;
    }
    return out;
}

char lower_char(char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

bool is_element(std::string_view symbol) {
    const auto& table = default_colour_symbols();
    return std::find(table.begin(), table.end(), symbol) != table.end();
}

void write_block_copy(const ParsedCif& p, const CifBlockInfo& block, const std::string& work_dir) {
    if (work_dir.empty() || block.start_line <= 0) return;
    std::ofstream out(fs::path(work_dir) / kCifBlockCopyFile, std::ios::binary);
    if (!out) return;
    const int last = std::min(block.end_line, static_cast<int>(p.lines.size()));
    for (int i = block.start_line; i <= last; ++i) {
        const std::string t = trim(p.lines[static_cast<std::size_t>(i - 1)]);
        if (!t.empty()) out << t << '\n';
    }
    out << '\n';
}

// The formula items in the order they are preferred.
const char* const kFormulaTags[] = {"_chemical_formula_moiety", "_chemical_formula_structural",
                                    "_chemical_formula_analytical", "_chemical_formula_sum",
                                    "_chemical_formula_iupac"};

std::string one_line(std::string_view text) {
    std::string out;
    for (char c : text)
        out += (c == '\n' || c == '\r' || c == '\t') ? ' ' : c;
    return trim(out);
}

std::string formula_of(const CifBlockData& block) {
    for (const char* tag : kFormulaTags) {
        const std::optional<std::string> v = find_value(block, tag);
        if (!v) continue;
        const std::string s = one_line(*v);
        if (!s.empty() && s != "?") return s;
    }
    return {};
}

std::string title_from_formula(std::string_view formula) {
    std::string out;
    for (char c : formula)
        if (c != '\'' && c != ';' && c != '"' && !std::isspace(static_cast<unsigned char>(c)))
            out += c;
    return out;
}

bool read_cell(const CifBlockData& block, StructureDocument& doc, Messages& messages) {
    static const char* const tags[6] = {"_cell_length_a",   "_cell_length_b",
                                        "_cell_length_c",   "_cell_angle_alpha",
                                        "_cell_angle_beta", "_cell_angle_gamma"};
    for (int i = 0; i < 6; ++i) {
        const std::optional<std::string> v = find_value(block, tags[i]);
        const std::string text = v ? trim(*v) : std::string();
        // An angle given as "?" (or left out) is a right angle.
        if (i >= 3 && text.empty()) {
            doc.cell_parameters[static_cast<std::size_t>(i)] = 90;
            continue;
        }
        const std::optional<double> x = read_cif_number(text);
        if (!x || *x <= 0) {
            messages.warn(std::string("Cannot read the cell parameter ") + tags[i]);
            return false;
        }
        doc.cell_parameters[static_cast<std::size_t>(i)] = *x;
    }
    return true;
}

// Operator texts as the file writes them, cleaned: upper case, no quotes,
// no blanks; a leading operator number dropped.
std::vector<std::string> operator_texts(const CifBlockData& block) {
    const std::optional<std::string> tag =
        first_tag_present(block, {kOperatorTags[0], kOperatorTags[1]});
    if (!tag) return {};
    CifTable t = find_table(block, *tag);
    const int col = t.column(*tag);
    std::vector<std::string> raw;
    for (int r = 0; r < t.rows(); ++r) {
        std::string s = to_upper(trim(t.value(r, col)));
        std::replace(s.begin(), s.end(), '\t', ' ');
        if (!s.empty()) raw.push_back(s);
    }
    const bool numbered = !raw.empty() && raw.front().rfind("1 ", 0) == 0;
    std::vector<std::string> out;
    for (std::string s : raw) {
        if (numbered) {
            const std::size_t blank = s.find(' ');
            if (blank != std::string::npos) s = s.substr(blank + 1);
        }
        std::string clean;
        for (char c : s)
            if (c != '\'' && c != '"' && !std::isspace(static_cast<unsigned char>(c))) clean += c;
        if (!clean.empty()) out.push_back(clean);
    }
    return out;
}

struct SymbolFound {
    std::string symbol;  // as stored in the document
    std::string raw;     // as written in the file
    bool hall = false;
};

// The H-M or Hall name, whichever the block gives first. An H-M symbol
// loses its blanks ("P 21/c" -> "P21/c"); a Hall symbol keeps single blanks
// between its parts, which it needs, and is upper-cased.
std::optional<SymbolFound> space_group_symbol(const CifBlockData& block) {
    const std::optional<std::string> tag =
        first_tag_present(block, {kHmTags[0], kHmTags[1], kHallTags[0], kHallTags[1]});
    if (!tag) return std::nullopt;
    std::optional<std::string> v = find_value(block, *tag);
    if (!v) return std::nullopt;
    SymbolFound s;
    s.raw = one_line(*v);
    s.hall = *tag == kHallTags[0] || *tag == kHallTags[1];
    std::string cleaned;
    for (char c : s.raw) {
        // Primes belong to Hall symbols ('-P 3 2"'); elsewhere they are stray quotes.
        if (!s.hall && (c == '\'' || c == '"')) continue;
        if (std::isspace(static_cast<unsigned char>(c))) {
            if (s.hall && !cleaned.empty() && cleaned.back() != ' ') cleaned += ' ';
            continue;
        }
        cleaned += c;
    }
    s.symbol = trim(cleaned);
    if (s.hall) s.symbol = to_upper(s.symbol);
    if (s.symbol.empty() || s.symbol == "?") return std::nullopt;
    return s;
}

// The lattice letter of a symbol: its first letter ("-P 2ybc" -> "P").
std::string first_letter(std::string_view symbol) {
    for (char c : symbol)
        if (std::isalpha(static_cast<unsigned char>(c)))
            return std::string(1, static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
    return {};
}

// The block's H-M or Hall name as written, whichever item holds it.
std::optional<std::string> named_symbol(const CifBlockData& block, bool hall) {
    for (const char* tag : hall ? kHallTags : kHmTags) {
        std::optional<std::string> v = find_value(block, tag);
        if (v && !one_line(*v).empty()) return one_line(*v);
    }
    return std::nullopt;
}

// A symbol as the interpreter understands it: an origin or axes choice
// written in words becomes the ":1", ":2", ":H", ":R" suffix; a
// rhombohedral symbol without suffix takes the axes of the cell.
std::string interpretable_symbol(std::string symbol, const std::string& crystal_system, bool hall) {
    if (hall) return symbol;
    const std::string lower = to_lower(symbol);
    std::string suffix;
    if (lower.find("origin choice 1") != std::string::npos) suffix = ":1";
    if (lower.find("origin choice 2") != std::string::npos) suffix = ":2";
    if (lower.find("hexagonal axes") != std::string::npos) suffix = ":H";
    if (lower.find("rhombohedral axes") != std::string::npos) suffix = ":R";
    const std::size_t paren = symbol.find('(');
    if (paren != std::string::npos) symbol = trim(symbol.substr(0, paren));
    if (suffix.empty() && symbol.find(':') == std::string::npos) {
        const std::string t = trim(symbol);
        if (!t.empty() && std::toupper(static_cast<unsigned char>(t[0])) == 'R')
            suffix = crystal_system == "RHOM" ? ":R" : ":H";
    }
    return symbol + suffix;
}

// The operators of the named group: the catalogue of the cell's crystal
// system, else the interpreter.
bool operators_from_symbol(StructureDocument& doc, const SymbolFound& found,
                           const std::optional<std::string>& hm,
                           const std::optional<std::string>& hall, const ProgramPaths& paths,
                           Messages& messages) {
    if (hm && !paths.data_dir.empty()) {
        StructureDocument trial = doc;
        trial.lattice_letter = first_letter(*hm);
        SilentMessages quiet;
        if (look_up_group(trial, interpretable_symbol(*hm, doc.crystal_system, false),
                          paths.data_dir, quiet) == LookupStatus::Found &&
            !trial.positions.empty()) {
            doc.positions = trial.positions;
            doc.centring = trial.centring;
            doc.lattice_letter = trial.lattice_letter;
            return true;
        }
    }
    std::string error;
    std::optional<InterpretedGroup> group;
    // A Hall symbol names one setting without doubt; try it first.
    if (hall) group = interpret_symbol(*hall, error);
    if (!group && hall) group = interpret_symbol(hall_symbol_lower(*hall), error);
    if (!group && hm)
        group = interpret_symbol(interpretable_symbol(*hm, doc.crystal_system, false), error);
    if (!group) {
        // The identity at least, so that the atoms can be drawn.
        messages.warn("No symmetry operators found for the space group " + found.raw);
        doc.positions = {
            EquivalentPosition{SymOp::identity(), format_operator(SymOp::identity()), 0}};
        return false;
    }
    doc.positions.clear();
    for (const SymOp& op : group->ops) {
        if (static_cast<int>(doc.positions.size()) >= kMaxOperators) break;
        EquivalentPosition p;
        p.op = op;
        p.text = format_operator(op);
        doc.positions.push_back(p);
    }
    doc.lattice_letter = std::string(1, group->lattice);
    doc.centring = centring_vectors(doc.lattice_letter, doc.crystal_system);
    if (!expand_by_centring(doc.positions, doc.centring))
        messages.warn("Too many symmetry operators: only the first 192 are kept");
    return !doc.positions.empty();
}

bool is_inversion(const SymOp& op) {
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            if (op.m[i][j] != (i == j ? -1 : 0)) return false;
    return true;
}

bool is_identity(const SymOp& op) {
    return op == SymOp::identity();
}

// Marks the identity (the first operator when there is none) as the one
// generation uses, as the positions grid shows after a file is read.
void select_identity(StructureDocument& doc) {
    for (EquivalentPosition& p : doc.positions)
        p.selected = 0;
    doc.generation_ops = {SymOp::identity()};
    if (doc.positions.empty()) return;
    auto it = std::find_if(doc.positions.begin(), doc.positions.end(),
                           [](const EquivalentPosition& p) { return is_identity(p.op); });
    (it != doc.positions.end() ? *it : doc.positions.front()).selected = 1;
}

struct AtomRow {
    Atom atom;
    double loop_uiso = 0;
};

// Element and label of an atom site. The type symbol, when it names an
// element, settles labels that do not start with their element ("M1" for
// an Fe site).
void set_element_and_label(Atom& atom, std::string_view type_symbol, Messages& messages) {
    const std::string name = atom.name;
    std::string element = element_from_type_symbol(type_symbol);
    const std::string upper = to_upper(name);
    std::string rest;
    if (!element.empty() && upper.rfind(element, 0) == 0) {
        rest = name.substr(element.size());
    } else {
        const std::string from_label = element_from_cif_label(name);
        if (element.empty()) {
            element = from_label;
            if (element.size() == 1 && !is_element(element))
                messages.warn(std::string(kCannotDecodeLabel) + name);
        }
        rest = name.size() > from_label.size() ? name.substr(from_label.size()) : std::string();
    }
    atom.element = fit(element, kElementLength);
    atom.label = fit(trim(rest), kLabelLength);
}

enum class AtomsResult { Ok, None, TooMany, Failed };

AtomsResult read_atoms(const CifBlockData& block, StructureDocument& doc, Messages& messages,
                       std::vector<double>& loop_uiso) {
    CifTable t = find_table(block, "_atom_site_fract_x");
    if (!t.valid()) return AtomsResult::None;
    const int c_label = t.column("_atom_site_label");
    const int c_x = t.column("_atom_site_fract_x");
    const int c_y = t.column("_atom_site_fract_y");
    const int c_z = t.column("_atom_site_fract_z");
    const int c_u = t.column("_atom_site_U_iso_or_equiv");
    const int c_type = t.column("_atom_site_type_symbol");
    if (c_label < 0 || c_y < 0 || c_z < 0) return AtomsResult::None;
    bool too_many = false;
    for (int r = 0; r < t.rows(); ++r) {
        const std::string label = trim(t.value(r, c_label));
        if (label.empty()) continue;
        const std::optional<double> x = read_cif_number(t.value(r, c_x));
        const std::optional<double> y = read_cif_number(t.value(r, c_y));
        const std::optional<double> z = read_cif_number(t.value(r, c_z));
        if (!x || !y || !z) {
            messages.warn("The atom " + label + " has no coordinates and is left out");
            continue;
        }
        if (static_cast<int>(doc.asym.size()) >= kMaxAsymAtoms) {
            too_many = true;
            break;
        }
        Atom a;
        a.name = fit(label, kNameLength);
        set_element_and_label(a, c_type >= 0 ? t.value(r, c_type) : std::string(), messages);
        a.x = *x;
        a.y = *y;
        a.z = *z;
        double u = kDefaultIsoValue;
        if (c_u >= 0) {
            const std::optional<double> v = read_cif_number(t.value(r, c_u));
            if (v) u = *v;
        }
        a.adp = {u, 0, 0, 0, 0, 0};
        a.iso = 1;
        doc.asym.push_back(a);
        loop_uiso.push_back(u);
    }
    if (too_many) {
        messages.warn(kTooManyAtomsMessage);
        return AtomsResult::TooMany;
    }
    return doc.asym.empty() ? AtomsResult::None : AtomsResult::Ok;
}

void read_aniso(const CifBlockData& block, StructureDocument& doc,
                const std::vector<double>& loop_uiso, Messages& messages) {
    CifTable t = find_table(block, "_atom_site_aniso_label");
    if (!t.valid()) return;
    const int c_label = t.column("_atom_site_aniso_label");
    static const char* const tags[6] = {"_atom_site_aniso_U_11", "_atom_site_aniso_U_22",
                                        "_atom_site_aniso_U_33", "_atom_site_aniso_U_12",
                                        "_atom_site_aniso_U_13", "_atom_site_aniso_U_23"};
    int cols[6];
    for (int k = 0; k < 6; ++k) {
        cols[k] = t.column(tags[k]);
        if (cols[k] < 0) return;  // B-type or incomplete loops are not read
    }
    for (int r = 0; r < t.rows(); ++r) {
        // Names keep 6 characters; the aniso label is cut the same way.
        const std::string label = to_upper(fit(trim(t.value(r, c_label)), kNameLength));
        auto it = std::find_if(doc.asym.begin(), doc.asym.end(),
                               [&](const Atom& a) { return to_upper(trim(a.name)) == label; });
        if (it == doc.asym.end()) continue;
        std::array<double, 6> u{};
        bool ok = true;
        for (int k = 0; k < 6; ++k) {
            const std::optional<double> v = read_cif_number(t.value(r, cols[k]));
            if (!v)
                ok = false;
            else
                u[static_cast<std::size_t>(k)] = *v;
        }
        if (!ok) {
            messages.warn("Cannot read the anisotropic parameters of " + it->name);
            continue;
        }
        it->adp = u;
        it->iso = 0;
        if (not_positive_definite(u[0], u[1], u[2], u[3], u[4], u[5])) {
            const double from_loop = loop_uiso[static_cast<std::size_t>(it - doc.asym.begin())];
            const double ueq = from_loop != 0 ? from_loop : (u[0] + u[1] + u[2]) / 3;
            it->adp = {ueq, 0, 0, 0, 0, 0};
            it->iso = 1;
            messages.warn(it->name + kNonDefinitePositiveReset + format_fixed(ueq, 6, 4));
        }
    }
}

int read_parsed_block(const ParsedCif& p, const std::string& file_name, const CifBlockInfo& info,
                      StructureDocument& doc, const ProgramPaths& paths, Messages& messages,
                      CifReadInfo* read_info) {
    if (info.index < 0 || info.index >= static_cast<int>(p.data.size())) {
        messages.warn("No such data block in " + base_name(file_name));
        return 1;
    }
    const CifBlockData& block = p.data[static_cast<std::size_t>(info.index)];
    write_block_copy(p, info, paths.work_dir);
    CifReadInfo local;
    CifReadInfo& out = read_info ? *read_info : local;
    out = CifReadInfo{};

    out.formula = formula_of(block);
    if (!out.formula.empty()) doc.title = title_from_formula(out.formula);

    if (!read_cell(block, doc, messages)) return 1;

    const std::vector<std::string> texts = operator_texts(block);
    doc.positions.clear();
    bool capped = false;
    for (const std::string& text : texts) {
        if (static_cast<int>(doc.positions.size()) >= kMaxOperators) {
            capped = true;
            break;
        }
        const std::optional<SymOp> op = decode_cif_operator(text);
        if (!op) {
            // Report the coordinate that failed, or the whole text.
            std::string bad = text;
            const std::vector<std::string> parts = split_tokens(text, ",");
            for (const std::string& part : parts)
                if (!decode_cif_coordinate(part)) {
                    bad = part;
                    break;
                }
            messages.warn(std::string(kCannotDecodePosition) + bad);
            return 1;
        }
        EquivalentPosition pos;
        pos.op = *op;
        pos.text = fit(text, kOperatorTextLength);
        doc.positions.push_back(pos);
    }
    if (capped) messages.warn("Too many symmetry operators: only the first 192 are kept");

    const std::optional<SymbolFound> symbol = space_group_symbol(block);
    doc.space_group = symbol ? symbol->symbol : std::string();
    if (doc.positions.empty() && !symbol) {
        messages.warn(kNoCifSymmetryMessage);
        return 1;
    }
    if (symbol) doc.lattice_letter = first_letter(symbol->symbol);

    std::vector<double> loop_uiso;
    switch (read_atoms(block, doc, messages, loop_uiso)) {
        case AtomsResult::None:
            messages.warn(kNoAtomSiteMessage);
            return 1;
        case AtomsResult::TooMany:
            return 1;
        case AtomsResult::Failed:
            return 1;
        case AtomsResult::Ok:
            break;
    }
    read_aniso(block, doc, loop_uiso, messages);

    if (!compute_metric(doc, messages)) return 1;
    set_crystal_system_from_cell(doc);

    if (doc.positions.empty() && symbol)
        out.operators_from_symbol = operators_from_symbol(
            doc, *symbol, named_symbol(block, false), named_symbol(block, true), paths, messages);
    doc.centrosymmetric =
        std::any_of(doc.positions.begin(), doc.positions.end(),
                    [](const EquivalentPosition& q) { return is_inversion(q.op); })
            ? 1
            : 0;
    select_identity(doc);

    if (!build_element_sorts(doc, load_radii(paths.data_dir), messages)) return 1;
    doc.data_file = file_name;
    doc.regeneration_needed = true;
    doc.cell_changed = true;
    doc.elements_changed = true;
    return 0;
}

}  // namespace

std::optional<double> read_cif_number(std::string_view text) {
    const std::string t = trim(drop_uncertainty(text));
    if (t.empty()) return std::nullopt;
    const std::size_t slash = t.find('/');
    if (slash == std::string::npos) return parse_double(t);
    const std::optional<double> p = parse_double(t.substr(0, slash));
    const std::optional<double> q = parse_double(t.substr(slash + 1));
    if (!p || !q || *q == 0) return std::nullopt;
    return *p / *q;
}

std::optional<OperatorRow> decode_cif_coordinate(std::string_view text) {
    OperatorRow row;
    std::size_t i = 0;
    const std::size_t n = text.size();
    auto skip_blanks = [&] {
        while (i < n && std::isspace(static_cast<unsigned char>(text[i])))
            ++i;
    };
    auto read_number = [&](double& value) {
        const std::size_t start = i;
        while (i < n && (std::isdigit(static_cast<unsigned char>(text[i])) || text[i] == '.'))
            ++i;
        if (i == start) return false;
        const std::optional<double> v = parse_double(text.substr(start, i - start));
        if (!v) return false;
        value = *v;
        return true;
    };
    skip_blanks();
    if (i >= n) return std::nullopt;
    bool any = false;
    while (true) {
        skip_blanks();
        if (i >= n) break;
        double sign = 1;
        bool signed_term = false;
        if (text[i] == '+' || text[i] == '-') {
            sign = text[i] == '-' ? -1 : 1;
            signed_term = true;
            ++i;
            skip_blanks();
        }
        if (!signed_term && any) return std::nullopt;  // terms must be joined by a sign
        double number = 1;
        bool has_number = false;
        if (i < n && (std::isdigit(static_cast<unsigned char>(text[i])) || text[i] == '.')) {
            if (!read_number(number)) return std::nullopt;
            has_number = true;
            skip_blanks();
            if (i < n && text[i] == '/') {
                ++i;
                skip_blanks();
                double q = 0;
                if (!read_number(q) || q == 0) return std::nullopt;
                number /= q;
                skip_blanks();
            }
            if (i < n && text[i] == '*') {
                ++i;
                skip_blanks();
            }
        }
        int axis = -1;
        if (i < n) {
            const char c = static_cast<char>(std::toupper(static_cast<unsigned char>(text[i])));
            if (c == 'X' || c == 'Y' || c == 'Z') {
                axis = c - 'X';
                ++i;
            }
        }
        if (axis >= 0) {
            // Rotation coefficients are whole numbers.
            if (number != std::floor(number)) return std::nullopt;
            row.r[axis] += sign * number;
        } else if (has_number) {
            row.t += sign * number;
        } else {
            return std::nullopt;
        }
        any = true;
    }
    if (!any) return std::nullopt;
    if (row.r[0] == 0 && row.r[1] == 0 && row.r[2] == 0) return std::nullopt;
    return row;
}

std::optional<SymOp> decode_cif_operator(std::string_view text) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == ',') {
            parts.push_back(text.substr(start, i - start));
            start = i + 1;
        }
    }
    if (parts.size() != 3) return std::nullopt;
    SymOp op;
    for (int i = 0; i < 3; ++i) {
        const std::optional<OperatorRow> row =
            decode_cif_coordinate(parts[static_cast<std::size_t>(i)]);
        if (!row) return std::nullopt;
        for (int j = 0; j < 3; ++j)
            op.m[i][j] = row->r[j];
        op.m[i][3] = row->t;
    }
    return op;
}

std::string element_from_cif_label(std::string_view label) {
    const std::string l = to_upper(trim(label));
    if (l.empty()) return {};
    std::string element;
    if (l.size() >= 2 && !std::isdigit(static_cast<unsigned char>(l[1])))
        element = l.substr(0, 2);
    else
        element = l.substr(0, 1);
    if (element.size() == 2 && !is_element(element)) element.resize(1);
    return element;
}

std::string element_from_type_symbol(std::string_view type_symbol) {
    const std::string t = to_upper(trim(type_symbol));
    std::string letters;
    for (char c : t) {
        if (!std::isalpha(static_cast<unsigned char>(c)) || letters.size() == 2) break;
        letters += c;
    }
    if (letters.empty()) return {};
    if (is_element(letters)) return letters;
    if (letters.size() == 2 && is_element(letters.substr(0, 1))) return letters.substr(0, 1);
    return {};
}

std::string hall_symbol_lower(std::string_view hall) {
    std::string s(trim(hall));
    bool lattice_seen = false;
    for (char& c : s) {
        if (lattice_seen)
            c = lower_char(c);
        else if (std::isalpha(static_cast<unsigned char>(c)))
            lattice_seen = true;
    }
    return s;
}

CifScan scan_cif_text(std::string_view text, const std::string& file_name, Messages& messages) {
    const std::optional<ParsedCif> p = parse_cif(text, file_name, messages);
    if (!p) return {};
    return make_scan(*p, messages);
}

CifScan scan_cif_file(const std::string& path, Messages& messages) {
    const std::optional<std::string> text = read_file_text(path, messages);
    if (!text) return {};
    return scan_cif_text(*text, path, messages);
}

bool write_block_list(const std::vector<CifBlockInfo>& candidates, const std::string& work_dir) {
    if (work_dir.empty()) return false;
    std::ofstream out(fs::path(work_dir) / kCifBlockListFile, std::ios::binary);
    if (!out) return false;
    for (const CifBlockInfo& b : candidates)
        out << format_int(b.start_line, 4) << format_int(b.end_line, 4) << ' ' << b.name << '\n';
    return static_cast<bool>(out);
}

int read_cif_block_text(std::string_view text, const std::string& file_name,
                        const CifBlockInfo& block, StructureDocument& doc,
                        const ProgramPaths& paths, Messages& messages, CifReadInfo* info) {
    const std::optional<ParsedCif> p = parse_cif(text, file_name, messages);
    if (!p) return 1;
    return read_parsed_block(*p, file_name, block, doc, paths, messages, info);
}

int read_cif_block(const std::string& path, const CifBlockInfo& block, StructureDocument& doc,
                   const ProgramPaths& paths, Messages& messages, CifReadInfo* info) {
    const std::optional<std::string> text = read_file_text(path, messages);
    if (!text) return 1;
    return read_cif_block_text(*text, path, block, doc, paths, messages, info);
}

CifLoadResult load_cif(const std::string& path, StructureDocument& doc, const ProgramPaths& paths,
                       Messages& messages, const CifBlockChooser& choose) {
    CifLoadResult result;
    if (!paths.work_dir.empty()) {
        std::error_code ec;
        fs::remove(fs::path(paths.work_dir) / kCifBlockCopyFile, ec);
        fs::remove(fs::path(paths.work_dir) / "dummy.shx", ec);
    }
    const std::string startup = doc.startup_file;
    reset(doc);
    doc.startup_file = startup;
    // The title stem: the file name without folder and extension.
    const std::string name = base_name(path);
    doc.title = name.size() > 4 ? name.substr(0, name.size() - 4) : std::string();

    const std::optional<std::string> text = read_file_text(path, messages);
    if (!text) return result;
    const std::optional<ParsedCif> p = parse_cif(*text, path, messages);
    if (!p) return result;
    const CifScan scan = make_scan(*p, messages);
    write_block_list(scan.candidates, paths.work_dir);
    if (scan.candidates.empty()) {
        messages.warn(kNoCifBlockMessage);
        return result;
    }
    int chosen = 0;
    if (scan.candidates.size() > 1 && choose) {
        const std::optional<int> c = choose(scan.candidates);
        if (!c || *c < 0 || *c >= static_cast<int>(scan.candidates.size())) {
            result.cancelled = true;
            return result;
        }
        chosen = *c;
    }
    CifReadInfo info;
    result.status = read_parsed_block(*p, path, scan.candidates[static_cast<std::size_t>(chosen)],
                                      doc, paths, messages, &info);
    result.formula = info.formula;
    if (result.status != 0) {
        doc.data_file.clear();
        return result;
    }
    if (doc.space_group.empty() && !doc.positions.empty()) {
        // Operators without a name: recognise the group as after a SHELX read.
        normalise_operator_list(doc, paths.work_dir);
        select_identity(doc);
        if (!paths.data_dir.empty()) identify_space_group(doc, paths.data_dir, messages);
    }
    result.space_group_text =
        doc.space_group.empty() ? kNoSpaceGroupFound : kSpaceGroupPrefix + doc.space_group;
    return result;
}

}  // namespace veldor
