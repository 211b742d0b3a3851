// E-mail addresses: a local part, "@", a domain of at least two labels
// whose last (the top-level domain) is letters only. Whatever stands
// around them in the word (quotes, brackets, "E-Mail:", a full stop) is
// left out.
#include "areas/recognisers.h"
#include "areas/text_shapes.h"

namespace mx {

using namespace shapes;

namespace {

constexpr int LongestLocalPart = 64, LongestDomain = 253, LongestLabel = 63;

bool IsLocalChar(QChar c) {
    return c.isLetterOrNumber() || c == u'.' || c == u'_' || c == u'%' || c == u'+' || c == u'-' || c == u'\'';
}
bool IsDomainChar(QChar c) { return c.isLetterOrNumber() || c == u'-' || c == u'.'; }

// Dot-separated atoms, none empty.
bool LocalPartValid(QStringView local) {
    if (local.isEmpty() || local.size() > LongestLocalPart) return false;
    return !local.startsWith(u'.') && !local.endsWith(u'.') && !local.contains(u"..");
}

bool DomainValid(QStringView domain) {
    if (domain.size() > LongestDomain) return false;
    const QList<QStringView> labels = domain.split(u'.');
    if (labels.size() < 2) return false;
    for (const QStringView label : labels)
        if (label.isEmpty() || label.size() > LongestLabel || label.startsWith(u'-') || label.endsWith(u'-'))
            return false;
    const QStringView top = labels.last();
    if (top.size() < 2) return false;
    for (const QChar c : top)
        if (!c.isLetter()) return false;
    return true;
}

} // namespace

QList<TSpan> FindEmails(const QString& t) {
    QList<TSpan> found;
    int searchFrom = 0;
    for (int at = t.indexOf(u'@'); at >= 0; at = t.indexOf(u'@', at + 1)) {
        int from = at;
        while (from > searchFrom && IsLocalChar(t[from - 1])) --from;
        // An address begins with a letter, a digit or "_", not with the
        // quote or the hyphen of what stands before it.
        while (from < at && !t[from].isLetterOrNumber() && t[from] != u'_') ++from;
        int to = RunEnd(t, at + 1, IsDomainChar);
        while (to > at + 1 && (t[to - 1] == u'.' || t[to - 1] == u'-')) --to;
        if (At(t, to) == u'@' || At(t, from - 1) == u'@') continue;
        if (!LocalPartValid(QStringView(t).mid(from, at - from)) ||
            !DomainValid(QStringView(t).mid(at + 1, to - at - 1)))
            continue;
        found.append({from, to});
        searchFrom = to;
        at = to - 1;
    }
    return found;
}

} // namespace mx
