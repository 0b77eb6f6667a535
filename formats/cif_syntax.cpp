#include "formats/cif_syntax.h"

#include <gemmi/cif.hpp>

#include <exception>

namespace veldor {

namespace {

namespace cif = gemmi::cif;

void copy_items(const std::vector<cif::Item>& from, std::vector<CifItem>& to) {
    for (const cif::Item& item : from) {
        CifItem out;
        out.line = item.line_number;
        if (item.type == cif::ItemType::Pair) {
            out.tags.push_back(item.pair[0]);
            out.values.push_back(cif::as_string(item.pair[1]));
        } else if (item.type == cif::ItemType::Loop) {
            out.loop = true;
            out.tags = item.loop.tags;
            out.values.reserve(item.loop.values.size());
            for (const std::string& v : item.loop.values)
                out.values.push_back(cif::as_string(v));
        } else {
            continue;  // save frames and comments are not structure data
        }
        to.push_back(std::move(out));
    }
}

}  // namespace

CifSyntaxResult parse_cif_syntax(std::string_view text) {
    CifSyntaxResult result;
    cif::Document doc;
    try {
        tao::pegtl::memory_input<> in(text.data(), text.size(), "cif");
        cif::parse_input(doc, in);
        cif::check_for_missing_values(doc);
    } catch (const tao::pegtl::parse_error& e) {
        if (!e.positions().empty())
            result.error_line = static_cast<int>(e.positions().front().line);
        result.error_message = std::string(e.message());
        return result;
    } catch (const std::exception& e) {
        // gemmi's own checks say "cif:<line> in data_<name>: <what>".
        std::string what = e.what();
        const std::size_t colon = what.find(':');
        if (what.compare(0, 4, "cif:") == 0 && colon != std::string::npos) {
            result.error_line = std::atoi(what.c_str() + colon + 1);
            const std::size_t sep = what.find(": ", colon + 1);
            if (sep != std::string::npos) what = what.substr(sep + 2);
        }
        result.error_message = what;
        return result;
    }
    for (const cif::Block& b : doc.blocks) {
        CifBlockData block;
        block.name = b.name;
        copy_items(b.items, block.items);
        result.blocks.push_back(std::move(block));
    }
    result.ok = true;
    return result;
}

}  // namespace veldor
