#pragma once
// What people usually hide, found in a page's words: IBANs, e-mail
// addresses, telephone numbers, dates, payment card numbers, German tax
// identification numbers and the names a letter introduces, each with its
// text and boxes, for the user to tick as areas.
#include "platform/text_word.h"

#include <QList>
#include <QRectF>
#include <QString>

namespace mx {

enum class TProposalKind { Iban, CardNumber, TaxId, Email, Date, Phone, Name };

// The kind's name in the list: "IBAN", "E-Mail", "Telefon", "Datum",
// "Kartennummer", "Steuer-ID", "Name".
QString KindName(TProposalKind kind);

struct TProposal {
    TProposalKind Kind = TProposalKind::Iban;
    // As it stands on the page, a break between words as one blank.
    QString Text;
    // In the words' units, one per line touched, top line first.
    QList<QRectF> Boxes;
    bool operator==(const TProposal&) const = default;
};

// Every finding on the page in reading order. Findings never share a
// character: where two claim the same characters, the one that covers
// more wins (an IBAN over the telephone number its digits could be read
// as, an e-mail address over a tax number in it); of two alike, the first
// kind in the order above.
QList<TProposal> FindProposals(const TTextWords& words);

} // namespace mx
