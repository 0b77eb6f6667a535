#include "main/structure_loader.h"

#include "formats/powder.h"
#include "formats/shelx.h"
#include "formats/vld.h"

namespace veldor {

LoadOutcome load_structure(StructureFileKind kind, const std::string& path, StructureDocument& doc,
                           DrawingState& drawing, const ProgramPaths& paths, Messages& messages,
                           const CifBlockChooser& choose_block) {
    LoadOutcome out;
    BusyScope busy(messages);
    switch (kind) {
        case StructureFileKind::Vld:
            out.ok = read_vld(path, doc, drawing, messages);
            if (out.ok) after_vld_load(doc, drawing);
            out.space_group_caption = doc.space_group.empty() ? "No Space Group found"
                                                              : "Space Group: " + doc.space_group;
            break;
        case StructureFileKind::Shelx: {
            ShelxReadResult result;
            out.ok = load_shelx(path, doc, paths, result, messages);
            out.space_group_caption = result.caption;
            break;
        }
        case StructureFileKind::Cif: {
            const CifLoadResult r = load_cif(path, doc, paths, messages, choose_block);
            out.ok = r.status == 0;
            out.cancelled = r.cancelled;
            // The "Create a CIF" dialog proposes the formula the file gave.
            if (out.ok) doc.formula = r.formula;
            out.space_group_caption = r.space_group_text;
            break;
        }
        case StructureFileKind::LazyPulverix:
        case StructureFileKind::PowderCell:
        case StructureFileKind::Tessard: {
            const PowderLoadResult r = kind == StructureFileKind::LazyPulverix
                                           ? load_lazy_pulverix(path, doc, paths, messages)
                                       : kind == StructureFileKind::PowderCell
                                           ? load_powdercell(path, doc, paths, messages)
                                           : load_tessard(path, doc, paths, messages);
            out.ok = r.status == 0;
            out.space_group_caption = r.space_group_text;
            break;
        }
        case StructureFileKind::Unknown:
            messages.warn("Unknown kind of structure file: " + path);
            break;
    }
    return out;
}

DataFileReader data_file_reader(DrawingState& drawing, const ProgramPaths& paths) {
    return [&drawing, paths](DataFileKind kind, const std::string& path, StructureDocument& doc,
                             Messages& messages) {
        StructureFileKind file_kind = StructureFileKind::Unknown;
        switch (kind) {
            case DataFileKind::Shelx:
            case DataFileKind::ShelxListing:
                file_kind = StructureFileKind::Shelx;
                break;
            case DataFileKind::LazyPulverix:
                file_kind = StructureFileKind::LazyPulverix;
                break;
            case DataFileKind::PowderCell:
                file_kind = StructureFileKind::PowderCell;
                break;
            case DataFileKind::Cif:
                file_kind = StructureFileKind::Cif;
                break;
            case DataFileKind::Vld:
                file_kind = StructureFileKind::Vld;
                break;
        }
        load_structure(file_kind, path, doc, drawing, paths, messages,
                       [](const std::vector<CifBlockInfo>&) { return std::optional<int>(0); });
    };
}

}  // namespace veldor
