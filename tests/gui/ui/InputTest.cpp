#include "support/Printers.h"

#include "platform/ui/CuitEdit.h"
#include "platform/ui/KeyFilter.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QDialog>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <vector>

using namespace Qt::StringLiterals;
using ui::KeyFilter;

namespace {

bool isDigit(int keyAscii)
{
    return keyAscii >= '0' && keyAscii <= '9';
}

// A payment-entry-like screen: text boxes, a drop-down list, a date box and a save button that
// Qt would press on Enter.
class KeyFilterTest : public ::testing::Test
{
protected:
    KeyFilterTest()
    {
        auto* layout = new QVBoxLayout(&m_screen);
        m_semana->addItems({u"1"_s, u"2"_s, u"3"_s});
        m_fecha->setDisplayFormat(u"dd/MM/yyyy"_s);
        for (QWidget* widget : std::initializer_list<QWidget*>{m_posicion, m_semana, m_fecha, m_importe, m_aceptar})
            layout->addWidget(widget);
        QObject::connect(m_aceptar, &QPushButton::clicked, [this] { ++m_saves; });
        m_screen.show();
        m_screen.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&m_screen));
    }

    QDialog m_screen;
    QLineEdit* m_posicion = new QLineEdit(&m_screen);
    QComboBox* m_semana = new QComboBox(&m_screen);
    QDateEdit* m_fecha = new QDateEdit(QDate(2002, 9, 20), &m_screen);
    QLineEdit* m_importe = new QLineEdit(&m_screen);
    QPushButton* m_aceptar = new QPushButton(u"&Guardar"_s, &m_screen);
    int m_saves = 0;
};

} // namespace

TEST_F(KeyFilterTest, HandlerDropsOrReplacesTypedCharacters)
{
    std::vector<int> seen;
    KeyFilter::onKeyPress(m_posicion, [&](int& keyAscii) {
        seen.push_back(keyAscii);
        if (keyAscii == '.')
            keyAscii = ',';
        else if (!isDigit(keyAscii) && keyAscii != 8)
            keyAscii = 0;
    });
    m_posicion->setFocus();
    QTest::keyClicks(m_posicion, u"20a0 2.0-9"_s);
    EXPECT_EQ(m_posicion->text(), u"2002,09"_s);
    QTest::keyClick(m_posicion, Qt::Key_Backspace);
    EXPECT_EQ(m_posicion->text(), u"2002,0"_s);

    // Keys that type nothing are not reported, and still work.
    seen.clear();
    for (Qt::Key key : {Qt::Key_Home, Qt::Key_Delete, Qt::Key_F1, Qt::Key_End})
        QTest::keyClick(m_posicion, key);
    EXPECT_TRUE(seen.empty());
    EXPECT_EQ(m_posicion->text(), u"002,0"_s);

    QTest::keyClick(m_posicion, Qt::Key_Enter, Qt::KeypadModifier);
    QTest::keyClick(m_posicion, Qt::Key_Escape);
    EXPECT_EQ(seen, (std::vector<int>{13, 27}));
    EXPECT_TRUE(m_screen.isVisible()); // the dropped Escape did not close the screen
    EXPECT_EQ(m_saves, 0);

    // Composed input goes through the same hook.
    QInputMethodEvent composed;
    composed.setCommitString(u"1ñ2é"_s);
    QApplication::sendEvent(m_posicion, &composed);
    EXPECT_EQ(m_posicion->text(), u"002,012"_s);
}

TEST_F(KeyFilterTest, EnterMovesTheFocusAndNeverPressesTheDefaultButton)
{
    // Without a hook, Qt presses the dialog's button on Enter: the hooks must not let that happen.
    m_importe->setFocus();
    QTest::keyClick(m_importe, Qt::Key_Return);
    ASSERT_EQ(m_saves, 1);
    m_saves = 0;

    // Each hook moves the focus on Enter; the date box's also drops letters.
    KeyFilter::onKeyPress(m_semana, [&](int& keyAscii) {
        if (keyAscii == 13)
            m_fecha->setFocus();
    });
    KeyFilter::onKeyPress(m_fecha, [&](int& keyAscii) {
        if (keyAscii == 13)
            m_importe->setFocus();
        else if (!isDigit(keyAscii))
            keyAscii = 0;
    });
    KeyFilter::onKeyPress(m_importe, [&](int& keyAscii) {
        if (keyAscii == 13)
            m_aceptar->setFocus();
    });
    m_semana->setFocus();
    QTest::keyClick(m_semana, Qt::Key_3);
    EXPECT_EQ(m_semana->currentText(), u"3"_s);
    QTest::keyClick(m_fecha, Qt::Key_X);
    EXPECT_EQ(m_fecha->date(), QDate(2002, 9, 20));
    for (QWidget* next : std::initializer_list<QWidget*>{m_fecha, m_importe, m_aceptar}) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        EXPECT_EQ(QApplication::focusWidget(), next);
    }
    EXPECT_EQ(m_saves, 0);

    // Enter on the button itself still presses it.
    QTest::keyClick(m_aceptar, Qt::Key_Return);
    EXPECT_EQ(m_saves, 1);
}

TEST_F(KeyFilterTest, KeyUpReportsWindowsKeyCodesAndHookingAgainReplaces)
{
    std::vector<int> released;
    KeyFilter::onKeyUp(m_importe, [&](int) { released.push_back(-1); });
    KeyFilter::onKeyUp(m_importe, [&](int keyCode) { released.push_back(keyCode); });
    m_importe->setText(u"12.5"_s);
    m_importe->setFocus();
    m_importe->setCursorPosition(2);

    QTest::keyClick(m_importe, Qt::Key_Delete);
    EXPECT_EQ(m_importe->text(), u"125"_s);
    QTest::keyClick(m_importe, Qt::Key_A);
    QTest::keyClick(m_importe, Qt::Key_Down);
    QTest::keyClick(m_importe, Qt::Key_5, Qt::KeypadModifier);
    EXPECT_EQ(released, (std::vector<int>{46, 'A', 40, 101}));
    EXPECT_EQ(m_importe->findChildren<KeyFilter*>().size(), 1);
}

TEST(CuitEdit, TypedAndSetTextsKeepTheMask)
{
    ui::CuitEdit cuit;
    EXPECT_EQ(cuit.maskText(), u"__-________-_"_s);
    QTest::keyClicks(&cuit, u"2a0,+-1234"_s); // only digits are taken
    EXPECT_EQ(cuit.maskText(), u"20-1234____-_"_s);
    QTest::keyClicks(&cuit, u"567869"_s); // the last digit finds no room
    EXPECT_EQ(cuit.maskText(), u"20-12345678-6"_s);

    for (const auto& [stored, shown] :
         {std::pair{u"30712345674"_s, u"30-71234567-4"_s}, std::pair{u"20-12345678-6"_s, u"20-12345678-6"_s},
          std::pair{u"20-1234"_s, u"20-1234____-_"_s}}) {
        cuit.setMaskText(stored);
        EXPECT_EQ(cuit.maskText(), shown) << stored.toStdString();
    }
    cuit.setMaskText(u"ab"_s);
    EXPECT_EQ(cuit.maskText().size(), 13);
}
