#include "MonthTest.h"

#include "DeliveredDatabase.h"
#include "gui/reportengine/ReportFiles.h"

#include "app/Main.h"
#include "data/clsCodigo.h"
#include "platform/Clock.h"
#include "platform/ProgramDirectory.h"
#include "platform/cipher/Cipher.h"
#include "platform/cipher/CipherError.h"
#include "platform/db/Recordset.h"
#include "platform/reportengine/ReportEngine.h"
#include "platform/ui/ListGrid.h"
#include "platform/ui/Ui.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <algorithm>
#include <stdexcept>

using namespace Qt::StringLiterals;

namespace {

void clearIdentity()
{
    clsCodigo& codigo = clsCodigo::instance();
    codigo.Par_Agente = 0;
    codigo.Par_CUIT.clear();
    codigo.Par_Denomin.clear();
}

} // namespace

MonthTest::MonthTest() : m_ui(ui::ScriptedUi::install())
{
    // Early October 2002: the payments of September are made, its declaration is due on the 15th.
    Clock::fix(QDate(2002, 10, 8));
    ProgramDirectory::override(m_db.dir());

    // The file as the delivery tool prepares it, beside the program with the report layouts.
    DeliveredDatabase::addParameters(m_db.db(), u"ayuda.html"_s);
    DeliveredDatabase::addPeriods(m_db.db(), {firstPeriod, lastPeriod, 15});
    for (const QString& name : {u"AR03.rpt"_s, u"AR04.rpt"_s, u"AR04_primera.rpt"_s, u"AR04_Pagos.rpt"_s})
        QFile::copy(ReportFiles::shipped(name), QDir(m_db.dir()).filePath(name));

    auto engine = std::make_unique<report::RecordingReportEngine>();
    m_engine = engine.get();
    report::ReportEngine::install(std::move(engine));

    // Start-up found no registration in the file.
    clearIdentity();
}

MonthTest::~MonthTest()
{
    EXPECT_TRUE(m_ui.unansweredQuestions().isEmpty()) << m_ui.unansweredQuestions().join(u" | "_s).toStdString();
    EXPECT_EQ(m_ui.pendingModals(), 0) << "every screen the story expected was opened";
    EXPECT_EQ(m_ui.pendingAnswers(), 0);
    EXPECT_EQ(m_ui.pendingFileNames(), 0);
    EXPECT_FALSE(m_ui.isBusy()) << "the pointer is back to normal";
    delete m_menu.data();
    report::ReportEngine::install(nullptr);
    ui::Ui::install(nullptr);
    ProgramDirectory::release();
    Clock::release();
    clearIdentity();
}

void MonthTest::openFromMenu(const QString& menuButton, std::function<void(QDialog&)> work)
{
    ASSERT_TRUE(m_menu && m_menu->isVisible()) << "the main menu is up";
    m_ui.onNextModal(std::move(work));
    click(*m_menu, menuButton);
}

QPushButton* MonthTest::button(QWidget& screen, const QString& name)
{
    auto* found = screen.findChild<QPushButton*>(name);
    EXPECT_NE(found, nullptr) << name.toStdString();
    return found;
}

void MonthTest::click(QWidget& screen, const QString& name)
{
    QPushButton* pressed = button(screen, name);
    ASSERT_NE(pressed, nullptr);
    ASSERT_TRUE(pressed->isVisible() && pressed->isEnabled()) << name.toStdString() << " cannot be pressed";
    QTest::mouseClick(pressed, Qt::LeftButton);
}

void MonthTest::type(QWidget& screen, const QString& box, const QString& text)
{
    auto* edit = screen.findChild<QLineEdit*>(box);
    ASSERT_NE(edit, nullptr) << box.toStdString();
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, text);
}

void MonthTest::pick(QWidget& screen, const QString& list, int index)
{
    auto* combo = screen.findChild<QComboBox*>(list);
    ASSERT_NE(combo, nullptr) << list.toStdString();
    ASSERT_LT(index, combo->count()) << list.toStdString();
    combo->setCurrentIndex(index);
}

ui::ListGrid& MonthTest::grid(QWidget& screen)
{
    auto* found = screen.findChild<ui::ListGrid*>(u"lvList"_s);
    if (!found)
        throw std::runtime_error("the screen has no lvList");
    return *found;
}

int MonthTest::rowWhere(const ui::ListGrid& grid, std::initializer_list<std::pair<int, QString>> cells)
{
    for (int row = 0; row < grid.rowCount(); ++row) {
        if (std::all_of(cells.begin(), cells.end(),
                        [&](const std::pair<int, QString>& cell) { return grid.cell(row, cell.first) == cell.second; }))
            return row;
    }
    return -1;
}

void MonthTest::clickRow(ui::ListGrid& grid, int row)
{
    ASSERT_GE(row, 0) << "no such row";
    int column = 0;
    while (column < grid.columnCount() && grid.isColumnHidden(column))
        ++column;
    const QRect rect = grid.visualRect(grid.model()->index(row, column));
    ASSERT_TRUE(rect.isValid()) << "row " << row << " is not shown";
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, rect.center());
    ASSERT_EQ(grid.currentRow(), row);
}

void MonthTest::clickRowWhere(ui::ListGrid& grid, std::initializer_list<std::pair<int, QString>> cells)
{
    clickRow(grid, rowWhere(grid, cells));
}

QStringList MonthTest::cells(const ui::ListGrid& grid, int row, std::initializer_list<int> columns)
{
    QStringList texts;
    for (const int column : columns)
        texts.append(grid.cell(row, column));
    return texts;
}

QString MonthTest::focusName()
{
    const QWidget* focused = QApplication::focusWidget();
    return focused ? focused->objectName() : QString();
}

QList<ui::ScriptedUi::Message> MonthTest::newMessages()
{
    const QList<ui::ScriptedUi::Message> fresh = m_ui.messages().mid(m_messagesSeen);
    m_messagesSeen = m_ui.messages().size();
    return fresh;
}

QStringList MonthTest::newScreens()
{
    const QStringList fresh = m_ui.shownScreens().mid(m_screensSeen);
    m_screensSeen = m_ui.shownScreens().size();
    return fresh;
}

ui::ScriptedUi::Message MonthTest::info(const QString& text)
{
    return {text, ui::Ui::Icon::Information, false};
}

ui::ScriptedUi::Message MonthTest::question(const QString& text)
{
    return {text, ui::Ui::Icon::Question, true};
}

QList<QStringList> MonthTest::rows(const QString& sql)
{
    QList<QStringList> result;
    const auto recordset = m_db.db().openRecordset(sql);
    for (; !recordset->eof(); recordset->moveNext()) {
        QStringList fields;
        for (int i = 0; i < recordset->fieldCount(); ++i)
            fields.append(recordset->field(i).toString());
        result.append(fields);
    }
    return result;
}

QString MonthTest::parameter(int id)
{
    return m_db.scalar(u"select Valor from PARAMETROS where ID = "_s + QString::number(id)).toString();
}

QStringList MonthTest::records(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ADD_FAILURE() << "cannot read " << path.toStdString();
        return {};
    }
    const QByteArray bytes = file.readAll();
    if (!bytes.endsWith("\r\n")) {
        ADD_FAILURE() << "the file does not end with CR LF";
        return {};
    }
    Cipher cipher;
    QStringList plain;
    // The file ends with CR LF, so splitting at each LF leaves an empty piece after the last record.
    QList<QByteArray> lines = bytes.split('\n');
    lines.removeLast();
    for (const QByteArray& line : lines) {
        if (!line.endsWith('\r')) {
            ADD_FAILURE() << "a record is not followed by CR LF";
            return {};
        }
        try {
            plain.append(cipher.decrypt(QString::fromLatin1(line.chopped(1)), u"TOLBRANE"_s));
        } catch (const CipherError& error) {
            ADD_FAILURE() << "a record does not decrypt: " << error.what();
            return {};
        }
    }
    plain.sort();
    return plain;
}

QString MonthTest::operatorFile(const QString& name) const
{
    return QDir::toNativeSeparators(m_operatorFolder.filePath(name));
}
