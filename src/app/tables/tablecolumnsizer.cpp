#include "app/tables/tablecolumnsizer.h"

#include "app/tables/tablegrid.h"
#include "app/tables/tablerowmodel.h"

#include <QEvent>
#include <QHeaderView>
#include <algorithm>
#include <functional>
#include <vector>

TableColumnSizer::TableColumnSizer(TableGrid *grid, TableRowModel *rows)
    : QObject(grid)
    , grid(grid)
    , rows(rows)
{
    grid->installEventFilter(this);
    grid->viewport()->installEventFilter(this);
}

void TableColumnSizer::sizeSections()
{
    const QList<TableColumn> &shown = rows->shownColumns();
    QHeaderView *header = grid->horizontalHeader();
    stretching.clear();
    for (int c = 0; c < shown.size(); ++c) {
        const TableColumn &column = shown.at(c);
        const auto mode = static_cast<QHeaderView::ResizeMode>(column.resizeMode);
        if (mode == QHeaderView::Stretch) {
            stretching.append(c);
        } else if (mode == QHeaderView::Fixed) {
            header->setSectionResizeMode(c, mode);
            header->resizeSection(c, qMax(9 * column.caption().length() + 40, header->sectionSizeHint(c)));
        } else if (mode == QHeaderView::ResizeToContents) {
            // Measured here, once per reset, rather than by the header on
            // every show and layout; the user cannot drag it either way.
            header->setSectionResizeMode(c, QHeaderView::Fixed);
        } else {
            header->setSectionResizeMode(c, mode);
        }
    }
    if (stretching.isEmpty() && !shown.isEmpty())
        stretching.append(0);
    fitToContents();
}

QList<int> TableColumnSizer::fittedColumns() const
{
    QList<int> fitted;
    const QList<TableColumn> &shown = rows->shownColumns();
    for (int c = 0; c < shown.size(); ++c) {
        if (shown.at(c).resizeMode == QHeaderView::ResizeToContents && !stretching.contains(c))
            fitted.append(c);
    }
    return fitted;
}

void TableColumnSizer::fitToContents()
{
    grid->ensurePolished();
    QList<int> all;
    all.reserve(rows->rowCount());
    for (int r = 0; r < rows->rowCount(); ++r)
        all.append(r);
    fullWidths.clear();
    for (int c : fittedColumns()) {
        fullWidths.insert(c, contentWidth(c, all));
        grid->horizontalHeader()->resizeSection(c, fullWidths.value(c));
    }
    for (int c : qAsConst(stretching))
        fullWidths.insert(c, contentWidth(c, all));
    shareRoom();
}

void TableColumnSizer::growFor(const QList<int> &refreshed)
{
    for (int c : fittedColumns() + stretching)
        fullWidths[c] = qMax(fullWidths.value(c), contentWidth(c, refreshed));
    shareRoom();
}

int TableColumnSizer::contentWidth(int column, const QList<int> &candidates) const
{
    // Laying out every text is what made fitting slow. Cells of a column are
    // laid out alike, so the texts are ranked by the sum of their characters'
    // advances and only the few widest are measured as the cells draw them,
    // apart for the first column's rows with and without an icon.
    const QFontMetrics metrics(grid->font());
    std::vector<int> advances(0x500, -1);
    const auto advance = [&](QChar c) {
        if (c.unicode() >= advances.size())
            return metrics.horizontalAdvance(c);
        int &known = advances[c.unicode()];
        if (known < 0)
            known = metrics.horizontalAdvance(c);
        return known;
    };
    std::vector<std::pair<int, int>> ranked[2];
    for (int r : candidates) {
        int estimate = 0;
        for (QChar c : rows->textAt(r, column))
            estimate += advance(c);
        ranked[column == 0 && !rows->iconAt(r).isNull() ? 1 : 0].emplace_back(estimate, r);
    }
    QHeaderView *header = grid->horizontalHeader();
    int width = header->sectionSizeHint(column);
    for (std::vector<std::pair<int, int>> &list : ranked) {
        const auto widest = list.begin() + std::min<size_t>(list.size(), 4);
        std::partial_sort(list.begin(), widest, list.end(), std::greater<std::pair<int, int>>());
        for (auto it = list.begin(); it != widest; ++it)
            width = qMax(width, grid->cellWidth(rows->index(it->second, column)));
    }
    return qBound(header->minimumSectionSize(), width, header->maximumSectionSize());
}

void TableColumnSizer::shareRoom()
{
    // The sections resized below may resize the viewport (a scroll bar comes or goes).
    if (stretching.isEmpty() || sharing)
        return;
    sharing = true;
    QHeaderView *header = grid->horizontalHeader();
    const QList<int> fitted = fittedColumns();
    // The names come first: where the room is short, the fitted columns (an
    // ID) give up theirs down to their captions before a name is cut.
    int fixed = 0, fittedFull = 0, fittedLeast = 0, namesWanted = 0, namesLeast = 0, widest = 0;
    const auto full = [&](int c) { return qMax(header->sectionSizeHint(c), fullWidths.value(c)); };
    for (int c = 0; c < header->count(); ++c) {
        if (header->isSectionHidden(c))
            continue;
        if (stretching.contains(c)) {
            namesLeast += header->sectionSizeHint(c);
            namesWanted += full(c);
            widest = qMax(widest, full(c));
        } else if (fitted.contains(c)) {
            fittedFull += full(c);
            fittedLeast += header->sectionSizeHint(c);
        } else {
            fixed += header->sectionSize(c);
        }
    }
    // Stretching shares the room evenly, so each needs the widest's room.
    namesWanted = qMax(namesWanted, widest * int(stretching.size()));
    int left = grid->viewport()->width() - fixed - fittedFull;
    const int given = qBound(0, namesWanted - left, fittedFull - fittedLeast);
    for (int c : fitted) {
        const int spare = full(c) - header->sectionSizeHint(c);
        const int share
            = fittedFull > fittedLeast ? int(qint64(given) * spare / (fittedFull - fittedLeast)) : 0;
        header->resizeSection(c, full(c) - share);
        // What the shares, rounded down, left over.
        left += full(c) - header->sectionSize(c);
    }
    for (int c : qAsConst(stretching)) {
        if (c >= header->count())
            continue;
        if (left >= namesWanted) {
            header->setSectionResizeMode(c, QHeaderView::Stretch);
        } else {
            header->setSectionResizeMode(c, QHeaderView::Fixed);
            // Where even the captions do not fit, the grid scrolls sideways anyway: a name
            // still gets its own width, up to two thirds of the view, before the others.
            const int share
                = namesLeast > 0 ? int(qint64(qMax(left, 0)) * header->sectionSizeHint(c) / namesLeast) : 0;
            const int cap = grid->viewport()->width() * 2 / 3 / int(stretching.size());
            header->resizeSection(c, qMax(header->sectionSizeHint(c), qMin(full(c), qMax(share, cap))));
        }
    }
    sharing = false;
}

bool TableColumnSizer::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == grid && (event->type() == QEvent::StyleChange || event->type() == QEvent::FontChange)
        && !remeasurePending) {
        // A theme or font changes the cells' widths; measured once, after the
        // change has reached every widget.
        remeasurePending = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                remeasurePending = false;
                fitToContents();
            },
            Qt::QueuedConnection);
    }
    if (watched == grid->viewport() && event->type() == QEvent::Resize)
        shareRoom();
    return QObject::eventFilter(watched, event);
}
