#include "ListSearch.h"

#include "platform/ui/ListGrid.h"
#include "platform/ui/Ui.h"

#include <QKeySequence>
#include <QShortcut>

using namespace Qt::StringLiterals;

ListSearch::ListSearch(QWidget& screen, ui::ListGrid& grid, QString label, QString notFound, MatchFor matchFor)
    : QObject(&screen), m_screen(screen), m_grid(grid), m_label(std::move(label)), m_notFound(std::move(notFound)),
      m_matchFor(std::move(matchFor))
{
    connect(new QShortcut(QKeySequence::Find, &screen), &QShortcut::activated, this, &ListSearch::ask);
    connect(new QShortcut(QKeySequence(Qt::Key_F3), &screen), &QShortcut::activated, this, &ListSearch::next);
}

void ListSearch::ask()
{
    const std::optional<QString> typed = ui::Ui::current().askText(&m_screen, m_label, m_typed);
    if (!typed || typed->trimmed().isEmpty())
        return;
    m_typed = typed->trimmed();
    find();
}

void ListSearch::next()
{
    if (m_typed.isEmpty())
        return ask();
    find();
}

void ListSearch::find()
{
    const auto matches = m_matchFor(m_typed);
    if (!matches || !m_grid.findNext(matches))
        ui::inform(m_notFound + m_typed + u'.');
    m_grid.setFocus();
}

QByteArray ListSearch::digitsOf(const QString& typed)
{
    QByteArray digits;
    for (const QChar c : typed) {
        if (c >= u'0' && c <= u'9')
            digits += static_cast<char>(c.unicode());
    }
    return digits;
}
