#include "areas/proposals.h"

#include "areas/recognisers.h"
#include "backdrop/text_search.h"

#include <algorithm>

namespace mx {

namespace {

struct TCandidate {
    TProposalKind Kind;
    TSpan Span;
};

} // namespace

QString KindName(TProposalKind kind) {
    switch (kind) {
    case TProposalKind::Iban: return QStringLiteral("IBAN");
    case TProposalKind::CardNumber: return QStringLiteral("Kartennummer");
    case TProposalKind::TaxId: return QStringLiteral("Steuer-ID");
    case TProposalKind::Email: return QStringLiteral("E-Mail");
    case TProposalKind::Date: return QStringLiteral("Datum");
    case TProposalKind::Phone: return QStringLiteral("Telefon");
    case TProposalKind::Name: return QStringLiteral("Name");
    }
    return {};
}

QList<TProposal> FindProposals(const TTextWords& words) {
    const TWordText page(words);
    const QString& text = page.Text();
    using TFinder = QList<TSpan> (*)(const QString&);
    const std::pair<TProposalKind, TFinder> finders[] = {
        {TProposalKind::Iban, FindIbans},   {TProposalKind::CardNumber, FindCardNumbers},
        {TProposalKind::TaxId, FindTaxIds}, {TProposalKind::Email, FindEmails},
        {TProposalKind::Date, FindDates},   {TProposalKind::Phone, FindPhoneNumbers},
        {TProposalKind::Name, FindNames},
    };
    QList<TCandidate> candidates;
    for (const auto& [kind, find] : finders)
        for (const TSpan& span : find(text)) candidates.append({kind, span});
    // The longest first, of equal ones the first kind (a stable sort).
    std::stable_sort(candidates.begin(), candidates.end(), [](const TCandidate& a, const TCandidate& b) {
        return a.Span.To - a.Span.From > b.Span.To - b.Span.From;
    });
    QList<TCandidate> kept;
    for (const TCandidate& c : candidates) {
        const bool taken = std::any_of(kept.begin(), kept.end(), [&](const TCandidate& k) {
            return c.Span.From < k.Span.To && k.Span.From < c.Span.To;
        });
        if (!taken) kept.append(c);
    }
    std::sort(kept.begin(), kept.end(),
              [](const TCandidate& a, const TCandidate& b) { return a.Span.From < b.Span.From; });
    QList<TProposal> proposals;
    for (const TCandidate& c : kept)
        proposals.append({c.Kind, page.Excerpt(c.Span.From, c.Span.To), page.Boxes(c.Span.From, c.Span.To)});
    return proposals;
}

} // namespace mx
