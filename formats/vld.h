#pragma once
// The VLD file: Veldor's own plain-text file holding a structure together
// with its finished plot (generated atoms, bonds, orientation, options,
// colours and fonts), so that a plot comes back without generating again.
//
// The layout is positional: sections in a fixed order, each opened by a
// header line the reader skips. The writer writes CR LF; the reader accepts
// any line ends. A file written, read and written again is byte-identical.

#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "core/document.h"
#include "core/drawing_settings.h"
#include "core/messages.h"

namespace veldor {

// The whole file as text, CR LF line ends.
std::string vld_text(const StructureDocument& doc, const DrawingSettings& drawing);

// Writes the file atomically. False (after a message) when it cannot be written.
bool write_vld(const std::string& path, const StructureDocument& doc,
               const DrawingSettings& drawing, Messages& messages);

// Replaces the document and the stored drawing state with a file's contents:
// the document is reset first, then filled section by section. Bad or
// truncated input shows a message naming the line and stops the reading;
// what was read so far stays. Two asymmetric-unit atoms with the same name
// show the duplicate-name message and stop. True when the whole file was read.
//
// The bond colour of the document before the call is what a bond line of
// the older four-number layout takes.
bool read_vld(const std::string& path, StructureDocument& doc, DrawingSettings& drawing,
              Messages& messages);
// The same on a text already in memory; `file_name` only names it in messages.
bool read_vld_text(std::string_view text, const std::string& file_name, StructureDocument& doc,
                   DrawingSettings& drawing, Messages& messages);

// The first pair (i < j, 0-based) of asymmetric-unit atoms with equal names
// (compared in upper case; deleted records with empty names are passed over).
std::optional<std::pair<int, int>> find_duplicate_names(const StructureDocument& doc);
// "The atom Nb" i "(" name ") has the same name as the atom Nb" j "(" name ")", 1-based.
std::string duplicate_name_message(const StructureDocument& doc, int i, int j);

// What the load command does to the drawing after a successful read: the
// two label flags are cleared, then "Labels off centre" is turned on when a
// generated atom has a moved label,
// "Bond Labels" when a bond label has been placed, and the display copy of
// the generated atoms is taken.
void after_vld_load(StructureDocument& doc, DrawingSettings& drawing);

}  // namespace veldor
