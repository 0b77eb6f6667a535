#pragma once
// Small pieces the analysis windows share.

#include <QString>
#include <string>
#include <vector>

class QPlainTextEdit;
class QTableWidget;
class QWidget;

namespace veldor {

// A read-only, centred grid cell.
void set_centred_cell(QTableWidget* grid, int row, int column, const std::string& text,
                      bool editable = false);

// The memo's lines, and the memo filled with lines.
std::vector<std::string> memo_lines(const QPlainTextEdit* memo);
void set_memo_lines(QPlainTextEdit* memo, const std::vector<std::string>& lines);

// A memo for listings: fixed-pitch font, no line wrapping.
QPlainTextEdit* make_listing_memo(QWidget* parent, bool read_only);

inline QString qstr(const std::string& s) {
    return QString::fromStdString(s);
}

}  // namespace veldor
