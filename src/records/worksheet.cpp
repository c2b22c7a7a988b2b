#include "worksheet.h"

#include "state/appstate.h"

namespace Worksheet {

QString build(Kind kind)
{
    QList<int> rows;
    for (int i = 1; i <= appState().WordCount; ++i)
        rows << i;
    return build(kind, rows);
}

QString build(Kind kind, const QList<int> &rows)
{
    const QString newLine = QStringLiteral("\r\n");
    const QString indent = QStringLiteral("      ");
    const AppState &state = appState();
    QString sheet = newLine + newLine + QStringLiteral("       INSERISCI   ") + state.ChoiceA.toUpper()
        + indent + state.ChoiceB.toUpper() + newLine + newLine;

    QString row;
    int inRow = 0;
    for (const int i : rows) {
        const QString &item = state.wordRow(i).text;
        if (kind == Kind::Sentences) {
            sheet += indent + item + newLine + newLine;
            continue;
        }
        row += indent + item;
        if (++inRow == kWordsPerRow) {
            sheet += row + newLine + newLine;
            row.clear();
            inRow = 0;
        }
    }
    if (inRow > 0)
        sheet += row + newLine + newLine;
    return sheet;
}

} // namespace Worksheet
