// The CIF load command: the block scan, the choice of a block, and which
// reader finds its values -- gemmi's strict parse, or the line rules when
// the file is not valid CIF or an atom loop does not line up. What the
// values mean is cif_build.cpp's business.

#include "formats/cif_read.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "core/text.h"
#include "formats/cif_lines.h"
#include "formats/cif_record.h"
#include "formats/cif_syntax.h"
#include "formats/cif_tags.h"
#include "formats/identify.h"
#include "formats/text_file.h"

namespace veldor {

namespace fs = std::filesystem;

namespace {

int block_score(const CifBlockData& block) {
    bool cell = false;
    std::vector<std::string> seen;
    for (const CifItem& item : block.items)
        for (const std::string& tag : item.tags) {
            const std::string k = cif_tags::key(tag);
            if (k == cif_tags::kCellLengthA) cell = true;
            if (cif_tags::is_symmetry(k) && std::find(seen.begin(), seen.end(), k) == seen.end())
                seen.push_back(k);
        }
    return (cell ? 1 : 0) + static_cast<int>(seen.size());
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
    std::vector<CifBlockData> data;  // empty when read by the line rules
    std::vector<CifBlockInfo> blocks;
    bool by_lines = false;
};

void scan_by_lines(ParsedCif& p) {
    p.by_lines = true;
    p.data.clear();
    p.blocks.clear();
    const std::vector<CifBlockLines> found = scan_block_lines(p.lines, true);
    for (std::size_t b = 0; b < found.size(); ++b) {
        CifBlockInfo info;
        info.index = static_cast<int>(b);
        info.name = found[b].name;
        info.start_line = found[b].line;
        info.end_line = found[b].end;
        info.score = found[b].score;
        info.by_lines = true;
        p.blocks.push_back(info);
    }
}

ParsedCif parse_cif(std::string_view raw, const std::string& file_name, bool strict,
                    Messages& messages) {
    ParsedCif p;
    p.text = normalise_text(raw);
    p.lines = split_lines(p.text);
    if (!strict) {
        scan_by_lines(p);
        return p;
    }
    CifSyntaxResult syntax = parse_cif_syntax(p.text);
    if (!syntax.ok) {
        const std::string where =
            syntax.error_line > 0 ? " at line " + std::to_string(syntax.error_line) : "";
        messages.warn("The file " + base_name(file_name) + " is not a valid CIF: error" + where +
                      ": " + syntax.error_message + "; it is read line by line");
        scan_by_lines(p);
        return p;
    }
    p.data = std::move(syntax.blocks);
    // Where each block starts and ends, for the block table and "dummy.cif".
    const std::vector<CifBlockLines> headers = scan_block_lines(p.lines, false);
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

// The lines of a block from its "data_" line to its last.
std::vector<std::string> block_lines(const ParsedCif& p, const CifBlockInfo& block) {
    const int last = std::min(block.end_line, static_cast<int>(p.lines.size()));
    if (block.start_line <= 0 || last < block.start_line) return {};
    return std::vector<std::string>(p.lines.begin() + (block.start_line - 1),
                                    p.lines.begin() + last);
}

void write_block_copy(const ParsedCif& p, const CifBlockInfo& block, const std::string& work_dir) {
    if (work_dir.empty() || block.start_line <= 0) return;
    std::ofstream out(fs::path(work_dir) / kCifBlockCopyFile, std::ios::binary);
    if (!out) return;
    for (const std::string& line : block_lines(p, block)) {
        const std::string t = trim(line);
        if (!t.empty()) out << t << '\n';
    }
    out << '\n';
}

int read_parsed_block(const ParsedCif& p, const std::string& file_name, const CifBlockInfo& info,
                      StructureDocument& doc, const ProgramPaths& paths, Messages& messages,
                      CifReadInfo* read_info) {
    if (info.index < 0 || info.index >= static_cast<int>(p.blocks.size())) {
        messages.warn("No such data block in " + base_name(file_name));
        return 1;
    }
    write_block_copy(p, info, paths.work_dir);
    CifReadInfo local;
    CifReadInfo& out = read_info ? *read_info : local;

    const bool by_lines = p.by_lines || info.by_lines;
    CifBlockRecord record;
    if (!by_lines) {
        record =
            record_from_tables(tables_from_syntax(p.data[static_cast<std::size_t>(info.index)]));
        // Values that do not line up with their items (an unquoted value with
        // blanks shifts a row): the rows are read again one line each.
        if (const auto bad = misaligned_atom_site(record)) {
            const std::string label = bad->label ? *bad->label : std::string(kCifUnknown);
            if (info.start_line <= 0) {
                messages.warn("The atom sites of data_" + info.name +
                              " do not line up with their items (at " + label + ")");
                return 1;
            }
            messages.warn("The atom sites of data_" + info.name +
                          " do not line up with their items (at " + label +
                          "): the block is read line by line");
            record = record_from_tables(tables_from_lines(block_lines(p, info), info.start_line));
        } else {
            return build_cif_document(record, file_name, doc, paths, messages, out);
        }
    } else {
        record = record_from_tables(tables_from_lines(block_lines(p, info), info.start_line));
    }
    if (const auto bad = misaligned_atom_site(record)) {
        messages.warn("The atom site at line " + std::to_string(bad->line) +
                      " cannot be read: its values do not line up with the items of its loop");
        return 1;
    }
    return build_cif_document(record, file_name, doc, paths, messages, out);
}

}  // namespace

CifScan scan_cif_text(std::string_view text, const std::string& file_name, Messages& messages) {
    return make_scan(parse_cif(text, file_name, true, messages), messages);
}

CifScan scan_cif_text_by_lines(std::string_view text, const std::string& file_name,
                               Messages& messages) {
    return make_scan(parse_cif(text, file_name, false, messages), messages);
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
    SilentMessages quiet;  // the scan has told about the syntax already
    const ParsedCif p = parse_cif(text, file_name, !block.by_lines, quiet);
    return read_parsed_block(p, file_name, block, doc, paths, messages, info);
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
    const ParsedCif p = parse_cif(*text, path, true, messages);
    const CifScan scan = make_scan(p, messages);
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
    result.status = read_parsed_block(p, path, scan.candidates[static_cast<std::size_t>(chosen)],
                                      doc, paths, messages, &info);
    result.formula = info.formula;
    if (result.status != 0) {
        doc.data_file.clear();
        return result;
    }
    if ((doc.space_group.empty() || info.symbol_disagrees) && !doc.positions.empty()) {
        // Operators without a name, or with a name they disagree with: the
        // group is recognised from them as after a SHELX read.
        const std::string named = doc.space_group;
        normalise_operator_list(doc, paths.work_dir);
        doc.space_group.clear();
        SilentMessages quiet;
        if (!paths.data_dir.empty())
            identify_space_group(doc, paths.data_dir, named.empty() ? messages : quiet);
        if (!named.empty() && !doc.space_group.empty()) {
            messages.warn("The operators of the file are those of " + doc.space_group +
                          ", not of the space group " + named);
        } else if (!named.empty()) {
            messages.warn("The operators of the file are not those of the space group " + named +
                          ": they are used as they are");
            doc.space_group = named;
        }
        select_identity_operator(doc);
    }
    result.space_group_text =
        doc.space_group.empty() ? kNoSpaceGroupFound : kSpaceGroupPrefix + doc.space_group;
    return result;
}

}  // namespace veldor
