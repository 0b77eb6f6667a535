#include "analysis/ui/window_helpers.h"

#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QTableWidget>

namespace veldor {

void set_centred_cell(QTableWidget* grid, int row, int column, const std::string& text,
                      bool editable) {
    auto* item = new QTableWidgetItem(qstr(text));
    item->setTextAlignment(Qt::AlignCenter);
    if (!editable) item->setFlags(item->flags() & ~Qt::ItemIsEditable);
    grid->setItem(row, column, item);
}

std::vector<std::string> memo_lines(const QPlainTextEdit* memo) {
    std::vector<std::string> lines;
    const QString text = memo->toPlainText();
    if (text.isEmpty()) return lines;
    for (const QString& l : text.split(QLatin1Char('\n')))
        lines.push_back(l.toStdString());
    return lines;
}

void set_memo_lines(QPlainTextEdit* memo, const std::vector<std::string>& lines) {
    QStringList list;
    list.reserve(static_cast<qsizetype>(lines.size()));
    for (const std::string& l : lines)
        list << qstr(l);
    memo->setPlainText(list.join(QLatin1Char('\n')));
}

QPlainTextEdit* make_listing_memo(QWidget* parent, bool read_only) {
    auto* memo = new QPlainTextEdit(parent);
    memo->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    memo->setReadOnly(read_only);
    return memo;
}

}  // namespace veldor
