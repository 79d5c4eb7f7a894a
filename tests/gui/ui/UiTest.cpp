#include "support/ScreenFixture.h"

#include "platform/ui/BusyCursor.h"
#include "platform/ui/KeyFilter.h"
#include "platform/ui/ListGrid.h"
#include "platform/ui/ListRow.h"
#include "platform/ui/SpanishTranslations.h"
#include "platform/ui/WindowPlacement.h"
#include "screens/Posicionar_Grilla.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QHeaderView>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>

#include <functional>
#include <memory>
#include <vector>

using namespace Qt::StringLiterals;
using ui::KeyFilter;
using ui::ListGrid;

namespace {

// A payment-entry-like screen: two text boxes, a save button that Qt would press on Enter, and the
// payment list's grid: a hidden code, two visible columns and the hidden row counter "Inc".
class InputTest : public ScreenFixture
{
protected:
    InputTest()
    {
        auto* layout = new QVBoxLayout(&m_screen);
        for (QWidget* widget : std::initializer_list<QWidget*>{m_posicion, m_importe, m_aceptar, m_grid})
            layout->addWidget(widget);
        QObject::connect(m_aceptar, &QPushButton::clicked, [this] { ++m_saves; });
        m_grid->addColumn(u"Código"_s, u"Codigo"_s, 1200, false);
        m_grid->addColumn(u"Semana"_s, u"Semana"_s, 1500);
        m_grid->addColumn(u"Importe a depositar"_s, u"Importe"_s, 1200);
        m_grid->addColumn(u"Inc"_s, u"Inc"_s, 0);
        activate(m_screen);
    }

    // Adds a row of the parts of `cells` between Tab characters.
    void addRow(const QString& cells)
    {
        ui::ListRow row;
        for (const QString& cell : cells.split(u'\t'))
            row << cell;
        m_grid->addRow(row);
    }

    QDialog m_screen;
    QLineEdit* m_posicion = new QLineEdit(&m_screen);
    QLineEdit* m_importe = new QLineEdit(&m_screen);
    QPushButton* m_aceptar = new QPushButton(u"&Guardar"_s, &m_screen);
    ListGrid* m_grid = new ListGrid(&m_screen);
    int m_saves = 0;
};

// Runs `answer` on the modal window the next call opens.
template <typename Window>
void answerNext(std::function<void(Window&)> answer)
{
    QTimer::singleShot(0, [answer] {
        auto* window = qobject_cast<Window*>(QApplication::activeModalWidget());
        ASSERT_TRUE(window) << "the expected box is not open";
        answer(*window);
    });
}

} // namespace

TEST_F(InputTest, KeyHooksDropOrReplaceTypedCharactersReportKeyUpCodesAndEnterNeverPressesTheDefaultButton)
{
    std::vector<int> released;
    KeyFilter::onKeyUp(m_posicion, [&](int) { released.push_back(-1); });
    KeyFilter::onKeyUp(m_posicion, [&](int keyCode) { released.push_back(keyCode); }); // replaces the first
    m_posicion->setFocus();
    for (Qt::Key key : {Qt::Key_Delete, Qt::Key_A, Qt::Key_Down})
        QTest::keyClick(m_posicion, key);
    QTest::keyClick(m_posicion, Qt::Key_5, Qt::KeypadModifier);
    EXPECT_EQ(released, (std::vector<int>{46, 'A', 40, 101}));

    KeyFilter::onKeyPress(m_posicion, [](int& keyAscii) {
        if (keyAscii == '.')
            keyAscii = ',';
        else if ((keyAscii < '0' || keyAscii > '9') && keyAscii != 8)
            keyAscii = 0;
    });
    m_posicion->clear();
    QTest::keyClicks(m_posicion, u"20a0 2.0-9"_s);
    QTest::keyClick(m_posicion, Qt::Key_Backspace);
    QInputMethodEvent composed; // composed input goes through the same hook
    composed.setCommitString(u"1ñ2é"_s);
    QApplication::sendEvent(m_posicion, &composed);
    EXPECT_EQ(m_posicion->text(), u"2002,012"_s);
    // A letter typed with Alt (or AltGr, Ctrl+Alt on some systems) that no mnemonic takes is typed into the
    // box, so it goes through the hook too; Ctrl combinations edit and are left alone.
    QTest::keyClick(m_posicion, Qt::Key_V, Qt::AltModifier);
    QTest::keyClick(m_posicion, Qt::Key_Q, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(m_posicion->text(), u"2002,012"_s);

    // Without a hook, Qt presses the dialog's button on Enter: the hooks must not let that happen.
    m_importe->setFocus();
    QTest::keyClick(m_importe, Qt::Key_Return);
    ASSERT_EQ(m_saves, 1);
    for (const auto& [from, to] : {std::pair<QWidget*, QWidget*>{m_posicion, m_importe}, {m_importe, m_aceptar}}) {
        KeyFilter::onKeyPress(from, [to](int& keyAscii) {
            if (keyAscii == 13)
                to->setFocus();
        });
        QTest::keyClick(from, Qt::Key_Return);
        EXPECT_EQ(QApplication::focusWidget(), to);
    }
    QTest::keyClick(m_aceptar, Qt::Key_Return); // Enter on the button itself still presses it
    EXPECT_EQ(m_saves, 2);
}

TEST_F(InputTest, GridTakesCellsReportsTheOperatorDoesNotSortAndIsPositionedByValue)
{
    // Row i: code 100+i, week i%5+1, amount i*10.5, Inc i; then a short row and one to be trimmed.
    for (int i = 1; i <= 5; ++i)
        addRow(u"%1\t%2\t%3.5\t%4"_s.arg(100 + i).arg(i % 5 + 1).arg(i * 10).arg(i));
    addRow(u"8"_s);
    addRow(u"200\t1\t 7 \t 1 "_s);
    m_grid->setFocus();
    QSignalSpy clicked(m_grid, &ListGrid::rowClicked);
    QSignalSpy deleted(m_grid, &ListGrid::deleteKeyReleased);
    QSignalSpy headers(m_grid, &ListGrid::headerClicked);
    for (Qt::Key key :
         {Qt::Key_Down, Qt::Key_End, Qt::Key_Down, Qt::Key_Up}) // Down on the last row: no move, no report
        QTest::keyClick(m_grid, key);
    EXPECT_EQ(m_grid->cell(0) + m_grid->cell(3), u"8"_s) << "hidden columns are readable";
    EXPECT_EQ(clicked.count(), 3);
    clickRow(*m_grid, 2);
    EXPECT_EQ(m_grid->cell(3), u"3"_s);
    m_grid->setCurrentRow(0); // moves made by the program are not the operator's
    m_grid->moveNext();
    EXPECT_EQ(clicked.count(), 4);
    QTest::keyClick(m_grid, Qt::Key_Delete);
    QTest::keyClick(m_grid, Qt::Key_Backspace);
    EXPECT_EQ(deleted.count(), 1);
    clickHeader(*m_grid, 1);
    EXPECT_EQ(headers.size() == 1 ? headers.at(0).at(0).toInt() : -1, 1);
    EXPECT_EQ(m_grid->cell(0, 1) + u'/' + QString::number(m_grid->rowCount()), u"2/7"_s)
        << "the view neither sorts nor deletes";
    // 1200 twips is narrower than "Importe a depositar" in today's fonts; a wider column keeps its width.
    EXPECT_GT(m_grid->columnWidth(2), m_grid->header()->fontMetrics().horizontalAdvance(u"Importe a depositar"_s));
    EXPECT_EQ(m_grid->columnWidth(1), qRound(1500 * m_grid->logicalDpiX() / 1440.0));

    // Column, value, row found: no match, or a column no row has, leaves the last row.
    const double cases[][3] = {{3, 3, 2}, {3, 1.0, 0}, {2, 7, 6}, {2, 20.5, 1}, {3, 0, 6}, {9, 1, 6}};
    for (const auto& c : cases) {
        m_grid->setCurrentRow(5);
        Posicionar_Grilla(*m_grid, static_cast<int>(c[0]), c[1]);
        EXPECT_EQ(m_grid->currentRow(), c[2]) << c[0] << ' ' << c[1];
        EXPECT_TRUE(m_grid->isVisible() && m_grid->hasFocus());
    }
}

TEST_F(InputTest, GridKeepsEveryRowsTextWhateverItsLengthOrAlphabetAndShowsRowsAddedInARow)
{
    // Several blocks of rows, one row longer than a block, characters beyond ASCII, empty cells, twice over.
    const QString longText(300'000, u'x');
    const auto text = [&](int i) {
        return i == 2500 ? u"x\t"_s + longText + u"\tÑandú 🙂\t"_s : u"%1\tDólares ñ\t\t%1"_s.arg(i);
    };
    for (const int round : {0, 1}) {
        m_grid->clearRows();
        for (int i = 0; i < 5000; ++i)
            addRow(text(i));
        // The view hears of the rows once the window has had its turn, not row by row.
        QApplication::processEvents();
        ASSERT_EQ(m_grid->model()->rowCount(), 5000) << round;
        for (const int row : {0, 2499, 2500, 2501, 4999}) {
            QStringList cells;
            for (int column = 0; column < 5; ++column)
                cells << m_grid->cell(row, column);
            EXPECT_EQ(cells, text(row).split(u'\t') << QString()) << row; // a fifth cell no row has
        }
        EXPECT_EQ(m_grid->model()->index(4999, 1).data().toString(), u"Dólares ñ"_s);
        EXPECT_EQ(m_grid->currentRow(), 0);
    }
}

TEST(QtUi, BoxesReadSiNoWithTheNormalPointerAndTheSaveDialogTakesANewName)
{
    ui::Ui::uninstall();
    ASSERT_TRUE(ui::installSpanishTranslations(*QCoreApplication::instance()));
    // Describes the next box as "title|buttons|pointer" and closes it with `press`.
    QString seen;
    const auto answerBox = [&seen](QMessageBox::StandardButton press) {
        answerNext<QMessageBox>([&seen, press](QMessageBox& box) {
            QStringList texts;
            for (QAbstractButton* button : box.buttons())
                texts << button->text();
            texts.sort();
            const QCursor* pointer = QApplication::overrideCursor();
            seen = box.windowTitle() + u'|' + texts.join(u' ') + u'|' +
                   QString::number(pointer ? pointer->shape() : Qt::ArrowCursor);
            box.button(press)->click();
        });
    };
    answerBox(QMessageBox::Yes);
    EXPECT_TRUE(ui::Ui::current().ask(u"Está seguro que desea eliminar el Pago seleccionado?"_s));
    EXPECT_EQ(seen, u"Atención|&No &Sí|%1"_s.arg(Qt::ArrowCursor));
    // Qt's "fichero" is the program's "archivo"; the rest stays Qt's Spanish.
    EXPECT_EQ(QCoreApplication::translate("QPrintWidget", "Output &file:"), u"&Archivo de salida:"_s);
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "&Open"), u"&Abrir"_s);
    {
        const ui::BusyCursor busy;
        std::make_unique<ui::BusyCursor>().reset();
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor) << "an inner guard leaves the hourglass";
        answerBox(QMessageBox::Ok);
        ui::Ui::current().message(u"No se pudo conectar."_s, ui::Ui::Icon::Critical);
        EXPECT_EQ(seen, u"Atención|Aceptar|%1"_s.arg(Qt::ArrowCursor)) << "the normal pointer over a busy screen";
    }
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    // A file that does not exist, with the default suffix; nothing when cancelled.
    QTemporaryDir dir;
    for (const QString& typed : {u"nueva"_s, QString()}) {
        answerNext<QFileDialog>([typed](QFileDialog& dialog) {
            EXPECT_EQ(dialog.acceptMode(), QFileDialog::AcceptSave);
            if (typed.isEmpty())
                return dialog.reject();
            dialog.selectFile(typed);
            static_cast<QDialog&>(dialog).accept(); // as the "Guardar" button does
        });
        EXPECT_EQ(ui::Ui::current().saveFileName(nullptr, u"Archivo"_s, dir.path(), u"Todos los archivos (*.txt)"_s,
                                                 u"txt"_s),
                  typed.isEmpty() ? QString() : dir.filePath(u"nueva.txt"_s));
    }
}

// The real ui's progress: nothing for a step nearly over at half a second; for a longer one, from then on, a window
// over the screen, painted while the program is busy, gone with the step. In real windows (real_window.sh) a click
// made meanwhile waits for the step's end, as typed-ahead keys do: nothing starts in the middle of the step.
TEST(QtUi, ProgressWindowComesOnlyForALongStepAndHoldsTheOperatorsClickUntilItEnds)
{
    ui::Ui::uninstall();
    QDialog screen;
    screen.setWindowTitle(u"Detalle DDJJ"_s);
    auto* button = new QPushButton(u"&Eliminar Detalle"_s, &screen);
    screen.resize(600, 400);
    screen.show();
    // Shown, and in real windows framed where the window manager put it: the progress window goes over it.
    // Under load Qt may keep a frame read while the window manager was framing the window (1x1 at its
    // corner); a move makes it read the frame again.
    const bool realWindows = QGuiApplication::platformName() == u"xcb"_s;
    const auto framed = [&] {
        screen.move(screen.pos() + QPoint(1, 0));
        return QTest::qWaitFor([&] {
            const QRect frame = screen.frameGeometry();
            return screen.windowHandle()->isExposed() &&
                   (!realWindows || (frame != screen.geometry() && frame.contains(screen.geometry())));
        });
    };
    ASSERT_TRUE(framed() || framed());
    const QRect screenFrame = screen.frameGeometry(); // read before the step, while it is right
    int clicks = 0;
    QObject::connect(button, &QPushButton::clicked, [&clicks] { ++clicks; });
    {
        const auto progress = ui::Ui::current().progress(&screen, u"Cargando..."_s);
        QThread::msleep(520);
        progress->step(900, 1000);
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << "nearly over: no window";
    }

    const QPoint target = button->mapToGlobal(button->rect().center());
    ASSERT_TRUE(!realWindows || QProcess::startDetached(
                                    u"xdotool"_s, {u"sleep"_s, u"0.8"_s, u"mousemove"_s, QString::number(target.x()),
                                                   QString::number(target.y()), u"click"_s, u"1"_s}));
    QString seen;
    qint64 appeared = -1;
    int clicksDuring = -1;
    {
        QElapsedTimer running;
        running.start();
        const auto progress = ui::Ui::current().progress(&screen, u"Cargando el detalle de la DDJJ..."_s);
        constexpr qint64 length = 1600;
        for (qint64 done = 0; done < length; done = running.elapsed()) {
            QThread::msleep(5);
            progress->step(done, length);
            QWidget* window = QApplication::activeModalWidget();
            if (window && window->windowHandle()->isExposed()) {
                appeared = appeared < 0 ? done : appeared;
                seen = window->windowTitle() + u'|' + window->findChild<QLabel*>()->text() + u'|' +
                       (screenFrame.contains(window->frameGeometry().center()) ? u"over"_s : u"apart"_s);
            }
        }
        clicksDuring = clicks;
    }
    // The click comes when the step is over; on a loaded machine the tool that makes it may start late.
    (void)QTest::qWaitFor([&] { return !realWindows || clicks > 0; }, 5000);
    QTest::qWait(100);
    EXPECT_GE(appeared, 450) << "painted while busy, not at once";
    EXPECT_EQ(seen, u"Detalle DDJJ|Cargando el detalle de la DDJJ...|over"_s);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << "gone with the step";
    EXPECT_TRUE(!realWindows || (clicksDuring == 0 && clicks == 1)) << "the click waited for the step, not lost";
}

TEST(WindowPlacement, CentresOnTheOpenerInsideTheScreensAvailableArea)
{
    const QRect screen(0, 0, 1024, 740); // 1024x768 less a panel
    const std::tuple<QSize, QRect, QRect> cases[] = {{{400, 300}, {100, 100, 600, 400}, {200, 150, 400, 300}},
                                                     {{1066, 932}, {0, 0, 400, 300}, {0, 0, 1024, 740}},
                                                     {{500, 400}, {700, 500, 300, 200}, {524, 340, 500, 400}},
                                                     {{500, 400}, {-300, -200, 300, 200}, {0, 0, 500, 400}},
                                                     {{200, 100}, {}, {412, 320, 200, 100}}};
    for (const auto& [frame, opener, placed] : cases) // centred; too big; past the corner; opener off; none
        EXPECT_EQ(ui::placedFrame(frame, opener, screen), placed) << frame.width() << 'x' << frame.height();
}
