// Names of persons where a letter or a form introduces them: after a
// salutation or a label, up to four capitalised words on the same line.
#include "areas/recognisers.h"
#include "areas/text_shapes.h"

#include <QStringList>

namespace mx {

using namespace shapes;

namespace {

// The words that introduce a name, compared without regard to case.
const QStringList Introducers = {
    "Herr",          "Herrn",           "Frau",           "Name:",           "Inhaber:",      "Inhaberin:",
    "Kontoinhaber:", "Kontoinhaberin:", "Empfänger:",     "Empfängerin:",    "Versicherter:", "Versicherte:",
    "Patient:",      "Patientin:",      "Antragsteller:", "Antragstellerin:"};
// Titles that belong to the name that follows.
const QStringList Titles = {"Dr.", "Prof.", "Dipl.-Ing.", "von", "van", "zu", "de"};

struct TWord {
    int From = 0, To = 0;
    QStringView Text(const QString& t) const { return QStringView(t).mid(From, To - From); }
};

// The word from i on, up to a blank or a line break.
TWord WordAt(const QString& t, int i) {
    return {i, RunEnd(t, i, [](QChar c) { return c != u' ' && c != u'\n'; })};
}

bool IsNamePart(QStringView w) {
    if (w.isEmpty() || !w.front().isUpper()) return false;
    for (const QChar c : w)
        if (!c.isLetter() && c != u'-' && c != u'\'' && c != u'.') return false;
    // An abbreviation of one letter and a dot is an initial, more is none.
    return !(w.endsWith(u'.') && w.size() > 2);
}

} // namespace

QList<TSpan> FindNames(const QString& t) {
    QList<TSpan> found;
    for (int i = 0; i < t.size();) {
        const TWord intro = WordAt(t, i);
        if (intro.To == i) {
            ++i;
            continue;
        }
        const bool introduces = Introducers.contains(intro.Text(t).toString(), Qt::CaseInsensitive);
        i = intro.To;
        if (!introduces) continue;
        int from = -1, to = -1, parts = 0;
        for (int j = intro.To; At(t, j) == u' ' && parts < 4;) {
            const TWord w = WordAt(t, j + 1);
            QStringView text = w.Text(t);
            // A comma or a closing mark ends the name and belongs to the text.
            int end = w.To;
            while (end > w.From && (t[end - 1] == u',' || t[end - 1] == u';' || t[end - 1] == u')')) --end;
            text = QStringView(t).mid(w.From, end - w.From);
            const bool title = Titles.contains(text.toString());
            if (!title && !IsNamePart(text)) break;
            if (from < 0) from = w.From;
            to = end;
            if (!title) ++parts;
            if (end < w.To) break;
            j = w.To;
        }
        if (parts > 0) found.append({from, to});
        if (to > i) i = to;
    }
    return found;
}

} // namespace mx
