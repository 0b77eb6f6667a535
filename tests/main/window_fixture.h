#pragma once
// The main window on the offscreen platform, driven as a user drives it:
// typing into fields and grid cells, clicking list entries, grid cells and
// buttons. Each test works in a folder of its own.

#include <gtest/gtest.h>

#include "tests/qt_test_app.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QTableWidget>
#include <QTest>
#include <QTreeWidget>
#include <filesystem>

#include "main/Tfmainmenu.h"

namespace veldor::testing {

class MainWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        qt_app();
        work = std::filesystem::temp_directory_path() /
               (std::string("veldor_window_") +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(work);
        std::filesystem::create_directories(work);
        paths = {VELDOR_DATA_DIR, work.string()};
        window = std::make_unique<Tfmainmenu>(doc, drawing, paths, msg);
        window->show();
        window->activateWindow();
        QApplication::processEvents();
    }
    void TearDown() override {
        window.reset();
        std::filesystem::remove_all(work);
    }

    template <class T = QWidget>
    T* find(const char* name) const {
        T* w = window->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QTableWidget* grid(const char* name) const { return find<QTableWidget>(name); }

    void load(const char* path) { window->load_by_extension(QString::fromLatin1(path)); }

    // Clicks a widget's button (by object name) with the mouse.
    void click(const char* name) const {
        QAbstractButton* b = find<QAbstractButton>(name);
        ASSERT_TRUE(b->isVisible() && b->isEnabled()) << name;
        click(b);
    }
    // Radio buttons and check boxes take clicks on their mark and text only.
    static void click(QAbstractButton* b) {
        const bool marked = qobject_cast<QRadioButton*>(b) || qobject_cast<QCheckBox*>(b);
        QTest::mouseClick(b, Qt::LeftButton, {},
                          marked ? QPoint(6, b->height() / 2) : b->rect().center());
    }
    // The window of `w` becomes the active one, as when the user clicks it
    // (the offscreen platform activates no window by itself).
    static void activate(QWidget* w) {
        QApplication::setActiveWindow(w->window());
        EXPECT_EQ(QApplication::activeWindow(), w->window());
    }

    // Types into a line edit and leaves it with Tab, as a user does.
    static void type_field(QLineEdit* field, const QString& text) {
        activate(field);
        field->setFocus();
        field->selectAll();
        if (text.isEmpty())
            QTest::keyClick(field, Qt::Key_Delete);
        else
            QTest::keyClicks(field, text);
        QTest::keyClick(field, Qt::Key_Tab);
    }
    void type_field(const char* name, const QString& text) {
        type_field(find<QLineEdit>(name), text);
    }

    // Clicks the entry of a list whose text is `text`.
    static void click_entry(QListWidget* list, const QString& text) {
        const auto found = list->findItems(text, Qt::MatchExactly);
        ASSERT_FALSE(found.isEmpty()) << text.toStdString();
        list->scrollToItem(found.first());
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(found.first()).center());
    }
    static void click_entry(QTreeWidget* list, const QString& text) {
        const auto found = list->findItems(text, Qt::MatchExactly, 0);
        ASSERT_FALSE(found.isEmpty()) << text.toStdString();
        list->scrollToItem(found.first());
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(found.first()).center());
    }

    // Clicks a grid cell (0-based row and column).
    static void click_cell(QTableWidget* g, int row, int column) {
        g->scrollToItem(g->item(row, column) ? g->item(row, column) : nullptr);
        const QRect r = g->visualRect(g->model()->index(row, column));
        QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, r.center());
    }

    // Types into a grid cell: the cell becomes current, F2 opens its
    // editor, the text replaces what was there and Tab leaves it.
    static void type_cell(QTableWidget* g, int row, int column, const QString& text,
                          Qt::Key leave = Qt::Key_Tab) {
        activate(g);
        g->setFocus();
        g->setCurrentCell(row, column);
        QTest::keyClick(g, Qt::Key_F2);
        QWidget* editor = QApplication::focusWidget();
        auto* line = qobject_cast<QLineEdit*>(editor);
        ASSERT_NE(line, nullptr) << "no editor at " << row << "," << column;
        line->selectAll();
        if (text.isEmpty())
            QTest::keyClick(line, Qt::Key_Delete);
        else
            QTest::keyClicks(line, text);
        QTest::keyClick(line, leave);
    }

    static QString cell(const QTableWidget* g, int row, int column) {
        const QTableWidgetItem* item = g->item(row, column);
        return item ? item->text() : QString();
    }

    std::filesystem::path work;
    ProgramPaths paths;
    StructureDocument doc;
    DrawingState drawing;
    RecordingMessages msg;
    std::unique_ptr<Tfmainmenu> window;
};

}  // namespace veldor::testing
