#include "ScreenFixture.h"

#include "support/ReportFiles.h"

#include "data/clsCodigo.h"
#include "platform/Clock.h"
#include "platform/ProgramDirectory.h"
#include "platform/ui/ListGrid.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;

ScreenFixture::ScreenFixture(QDate today)
    : m_operator(installNew<ui::Ui, ui::ScriptedUi>()),
      m_engine(installNew<report::ReportEngine, report::RecordingReportEngine>())
{
    Clock::install(today);
    ProgramDirectory::install(m_db.dir());
    for (const QString& name : {u"AR03.rpt"_s, u"AR04.rpt"_s, u"AR04_primera.rpt"_s, u"AR04_Pagos.rpt"_s})
        QFile::copy(ReportFiles::shipped(name), QDir(m_db.dir()).filePath(name));
    setRegistration(0, {}, {});
}

ScreenFixture::~ScreenFixture()
{
    EXPECT_TRUE(m_operator.unansweredQuestions().isEmpty());
    EXPECT_FALSE(m_operator.isBusy()) << "the pointer is back to normal";
    setRegistration(0, {}, {});
    report::ReportEngine::uninstall();
    ui::Ui::uninstall();
    ProgramDirectory::uninstall();
    Clock::uninstall();
}

void ScreenFixture::setRegistration(double agente, const QString& cuit, const QString& denominacion)
{
    clsCodigo& codigo = clsCodigo::instance();
    codigo.Par_Agente = agente;
    codigo.Par_CUIT = cuit;
    codigo.Par_Denomin = denominacion;
}

QString ScreenFixture::identity()
{
    const clsCodigo& codigo = clsCodigo::instance();
    return u"%1 %2 %3"_s.arg(codigo.Par_CUIT, codigo.Par_Denomin).arg(codigo.Par_Agente);
}

void ScreenFixture::activate(QWidget& window)
{
    window.show();
    window.activateWindow();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
}

void ScreenFixture::click(QWidget& screen, const QString& name)
{
    auto* pressed = screen.findChild<QPushButton*>(name);
    ASSERT_TRUE(pressed && pressed->isEnabled()) << name.toStdString() << " is missing or disabled";
    QTest::mouseClick(pressed, Qt::LeftButton);
}

void ScreenFixture::type(QWidget& screen, const QString& box, const QString& text)
{
    auto* edit = screen.findChild<QLineEdit*>(box);
    ASSERT_TRUE(edit) << box.toStdString() << " is missing";
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_Backspace);
    for (const QChar c : text)
        c == u'\x7f' ? QTest::keyClick(edit, Qt::Key_Delete) : QTest::keyClicks(edit, c);
}

void ScreenFixture::clickRow(ui::ListGrid& grid, int row)
{
    int column = 0;
    while (grid.isColumnHidden(column))
        ++column;
    const QRect rect = grid.visualRect(grid.model()->index(row, column));
    ASSERT_TRUE(rect.isValid()) << "row " << row << " is not shown";
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, rect.center());
}

void ScreenFixture::clickHeader(ui::ListGrid& grid, int column)
{
    QHeaderView* header = grid.header();
    const int x = header->sectionViewportPosition(column) + header->sectionSize(column) / 2;
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
}

QString ScreenFixture::focusName()
{
    const QWidget* focused = QApplication::focusWidget();
    return focused ? focused->objectName() : QString();
}
