#pragma once

#include <QByteArrayView>
#include <QObject>
#include <QString>

#include <functional>

class QWidget;

namespace ui {
class ListGrid;
}

/// Finding a row of a list screen's grid: Ctrl+F (or the screen's "Buscar" button) asks what to look for,
/// F3 looks for the same again. The row found is picked as a click picks it; the search goes on from the
/// row after the current one and round from the top. No row found is told in the screen's manner.
class ListSearch : public QObject
{
public:
    /// Turns what the operator typed into the test of a row's stored text (see ListGrid::findNext); an empty
    /// test when the text cannot be looked for.
    using MatchFor = std::function<std::function<bool(QByteArrayView rowText)>(const QString& typed)>;

    /// For the grid of `screen`, asking with `label` and telling a miss with `notFound` followed by the text
    /// typed and a full stop.
    ListSearch(QWidget& screen, ui::ListGrid& grid, QString label, QString notFound, MatchFor matchFor);

    /// Asks what to look for, then finds it.
    void ask();
    /// Finds the next row of what was asked last; asks first when nothing was.
    void next();

    /// The digits of a text, whatever else was typed between them ("20-12345678-6" gives "20123456786").
    [[nodiscard]] static QByteArray digitsOf(const QString& typed);

private:
    void find();

    QWidget& m_screen;
    ui::ListGrid& m_grid;
    QString m_label;
    QString m_notFound;
    MatchFor m_matchFor;
    QString m_typed;
};
