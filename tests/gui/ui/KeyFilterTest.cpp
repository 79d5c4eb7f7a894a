#include "Printers.h"

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
        m_posicion = new QLineEdit(&m_screen);
        m_semana = new QComboBox(&m_screen);
        m_semana->addItems({u"1"_s, u"2"_s, u"3"_s});
        m_fecha = new QDateEdit(QDate(2002, 9, 20), &m_screen);
        m_fecha->setDisplayFormat(u"dd/MM/yyyy"_s);
        m_importe = new QLineEdit(&m_screen);
        m_aceptar = new QPushButton(u"&Guardar"_s, &m_screen);
        for (QWidget* widget :
             {static_cast<QWidget*>(m_posicion), static_cast<QWidget*>(m_semana), static_cast<QWidget*>(m_fecha),
              static_cast<QWidget*>(m_importe), static_cast<QWidget*>(m_aceptar)})
            layout->addWidget(widget);
        QObject::connect(m_aceptar, &QPushButton::clicked, [this] { ++m_saves; });

        m_screen.show();
        m_screen.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&m_screen));
    }

    QDialog m_screen;
    QLineEdit* m_posicion;
    QComboBox* m_semana;
    QDateEdit* m_fecha;
    QLineEdit* m_importe;
    QPushButton* m_aceptar;
    int m_saves = 0;
};

} // namespace

TEST_F(KeyFilterTest, RefusedCharactersNeverReachTheBox)
{
    std::vector<int> seen;
    KeyFilter::onKeyPress(m_posicion, [&](int& keyAscii) {
        seen.push_back(keyAscii);
        if (!isDigit(keyAscii) && keyAscii != 8)
            keyAscii = 0;
    });
    m_posicion->setFocus();

    QTest::keyClicks(m_posicion, u"20a0 2.0-9"_s);
    EXPECT_EQ(m_posicion->text(), u"200209"_s);
    QTest::keyClick(m_posicion, Qt::Key_Backspace);
    EXPECT_EQ(m_posicion->text(), u"20020"_s);

    // Keys that type nothing are not reported, and still work.
    seen.clear();
    for (Qt::Key key : {Qt::Key_Left, Qt::Key_Home, Qt::Key_Delete, Qt::Key_F1, Qt::Key_End})
        QTest::keyClick(m_posicion, key);
    QTest::keyClick(m_posicion, Qt::Key_A, Qt::ControlModifier);
    EXPECT_TRUE(seen.empty());
    EXPECT_EQ(m_posicion->text(), u"0020"_s);

    QTest::keyClick(m_posicion, Qt::Key_Return);
    QTest::keyClick(m_posicion, Qt::Key_Enter, Qt::KeypadModifier);
    QTest::keyClick(m_posicion, Qt::Key_Escape);
    EXPECT_EQ(seen, (std::vector<int>{13, 13, 27}));
    EXPECT_TRUE(m_screen.isVisible()); // the dropped Escape did not close the screen
    EXPECT_EQ(m_saves, 0);
}

TEST_F(KeyFilterTest, EnterMovesTheFocusAndNeverPressesTheDefaultButton)
{
    // Without a hook, Qt presses the dialog's button on Enter: the hooks must not let that happen.
    m_importe->setFocus();
    QTest::keyClick(m_importe, Qt::Key_Return);
    ASSERT_EQ(m_saves, 1);
    m_saves = 0;

    KeyFilter::onKeyPress(m_posicion, [&](int& keyAscii) {
        if (keyAscii == 13) {
            keyAscii = 0;
            m_semana->setFocus();
        }
    });
    // Enter kept, as a handler that only moves the focus leaves it.
    KeyFilter::onKeyPress(m_importe, [&](int& keyAscii) {
        if (keyAscii == 13)
            m_aceptar->setFocus();
    });

    m_posicion->setFocus();
    QTest::keyClick(m_posicion, Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), m_semana);

    m_importe->setFocus();
    QTest::keyClick(m_importe, Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), m_aceptar);
    EXPECT_EQ(m_saves, 0);

    // Enter on the button itself still presses it.
    QTest::keyClick(m_aceptar, Qt::Key_Return);
    EXPECT_EQ(m_saves, 1);
}

TEST_F(KeyFilterTest, ComboAndDateBoxesSeeTheirKeys)
{
    std::vector<int> week;
    KeyFilter::onKeyPress(m_semana, [&](int& keyAscii) {
        week.push_back(keyAscii);
        if (keyAscii == 13) {
            keyAscii = 0;
            m_fecha->setFocus();
        }
    });
    std::vector<int> date;
    KeyFilter::onKeyPress(m_fecha, [&](int& keyAscii) {
        date.push_back(keyAscii);
        if (keyAscii == 13)
            m_importe->setFocus();
        else if (!isDigit(keyAscii))
            keyAscii = 0;
    });

    m_semana->setFocus();
    QTest::keyClick(m_semana, Qt::Key_3);
    EXPECT_EQ(m_semana->currentText(), u"3"_s);
    QTest::keyClick(m_semana, Qt::Key_Return);
    EXPECT_EQ(week, (std::vector<int>{'3', 13}));
    EXPECT_EQ(QApplication::focusWidget(), m_fecha);

    QTest::keyClick(m_fecha, Qt::Key_X);
    auto* inner = m_fecha->findChild<QLineEdit*>();
    ASSERT_NE(inner, nullptr);
    QTest::keyClick(inner, Qt::Key_Y);
    EXPECT_EQ(m_fecha->date(), QDate(2002, 9, 20));
    QTest::keyClick(m_fecha, Qt::Key_Return);
    EXPECT_EQ(date, (std::vector<int>{'x', 'y', 13}));
    EXPECT_EQ(QApplication::focusWidget(), m_importe);
    EXPECT_EQ(m_saves, 0);

    QComboBox editable(&m_screen);
    editable.setEditable(true);
    KeyFilter::onKeyPress(&editable, [](int& keyAscii) {
        if (!isDigit(keyAscii))
            keyAscii = 0;
    });
    QTest::keyClicks(&editable, u"a1b2"_s);
    EXPECT_EQ(editable.currentText(), u"12"_s);
}

TEST_F(KeyFilterTest, HandlerMayTypeAnotherCharacter)
{
    KeyFilter::onKeyPress(m_posicion, [](int& keyAscii) {
        if (keyAscii == '.')
            keyAscii = ',';
        else if (keyAscii >= 'a' && keyAscii <= 'z')
            keyAscii -= 'a' - 'A';
    });
    QTest::keyClicks(m_posicion, u"ab1.5"_s);
    EXPECT_EQ(m_posicion->text(), u"AB1,5"_s);
}

TEST_F(KeyFilterTest, ComposedCharactersPassThroughTheHook)
{
    KeyFilter::onKeyPress(m_posicion, [](int& keyAscii) {
        if (!isDigit(keyAscii))
            keyAscii = 0;
    });
    m_posicion->setFocus();
    QInputMethodEvent composed;
    composed.setCommitString(u"1ñ2é"_s);
    QApplication::sendEvent(m_posicion, &composed);
    EXPECT_EQ(m_posicion->text(), u"12"_s);
}

TEST_F(KeyFilterTest, KeyUpReportsWindowsKeyCodes)
{
    std::vector<int> released;
    bool pointTyped = true;
    KeyFilter::onKeyUp(m_importe, [&](int keyCode) {
        released.push_back(keyCode);
        if (keyCode == 46)
            pointTyped = false;
    });
    m_importe->setText(u"12.5"_s);
    m_importe->setFocus();
    m_importe->setCursorPosition(2);

    QTest::keyClick(m_importe, Qt::Key_Delete);
    EXPECT_FALSE(pointTyped);
    EXPECT_EQ(m_importe->text(), u"125"_s);
    QTest::keyClick(m_importe, Qt::Key_A);
    QTest::keyClick(m_importe, Qt::Key_1);
    QTest::keyClick(m_importe, Qt::Key_Down);
    QTest::keyClick(m_importe, Qt::Key_5, Qt::KeypadModifier);
    EXPECT_EQ(released, (std::vector<int>{46, 'A', '1', 40, 101}));

    EXPECT_EQ(KeyFilter::windowsKeyCode(Qt::Key_Delete), 46);
    EXPECT_EQ(KeyFilter::windowsKeyCode(Qt::Key_Backspace), 8);
    EXPECT_EQ(KeyFilter::windowsKeyCode(Qt::Key_F1), 112);
    EXPECT_EQ(KeyFilter::windowsKeyCode(Qt::Key_Period, true), 110);
    EXPECT_EQ(KeyFilter::windowsKeyCode(Qt::Key_Launch0), 0);
}

TEST_F(KeyFilterTest, HookingAgainReplacesTheHook)
{
    int first = 0;
    int second = 0;
    KeyFilter::onKeyPress(m_posicion, [&](int&) { ++first; });
    KeyFilter::onKeyPress(m_posicion, [&](int&) { ++second; });
    QTest::keyClick(m_posicion, Qt::Key_1);
    EXPECT_EQ(first, 0);
    EXPECT_EQ(second, 1);
    EXPECT_EQ(m_posicion->findChildren<KeyFilter*>().size(), 1);
}
