#pragma once
// The recognisers behind the proposals. Each reads the joined words of a
// page (TWordText::Text(): a blank for a break between words, a line feed
// for a line break) character by character and gives the spans of what it
// found; whatever can be checked (check digits, the calendar) is checked.
#include <QList>
#include <QStringView>

class QString;

namespace mx {

// Characters From..To-1 of the joined text.
struct TSpan {
    int From = 0, To = 0;
    bool operator==(const TSpan&) const = default;
};

// IBANs in one word or in groups of four, the groups possibly wrapped to
// the next line; the length of the country where known, else 15 to 34.
QList<TSpan> FindIbans(const QString& text);
// Payment card numbers: 13 to 19 digits in one word or in groups (first
// group of four), a known issuer's prefix and a valid Luhn check digit.
QList<TSpan> FindCardNumbers(const QString& text);
// German tax identification numbers: 11 digits, in one word or as
// "12 345 678 901", passing TaxIdValid.
QList<TSpan> FindTaxIds(const QString& text);
// E-mail addresses within one word, without the punctuation around them.
QList<TSpan> FindEmails(const QString& text);
// Calendar dates: 12.03.2024, 1.3.24, 2024-03-12, 12. März 2024, März 2024.
QList<TSpan> FindDates(const QString& text);
// Telephone numbers in German and international forms.
QList<TSpan> FindPhoneNumbers(const QString& text);
// Names of persons after a salutation ("Herrn", "Frau") or a label
// ("Name:", "Kontoinhaber:"): up to four capitalised words on that line,
// titles ("Dr.", "von") with them.
QList<TSpan> FindNames(const QString& text);

// The checks. Each takes the characters alone, without blanks.
// Letters and digits of an IBAN: check digits 02..98 and ISO 13616's
// mod-97 check, either case.
bool IbanCheckDigitsValid(QStringView iban);
// The IBAN length of a country (two capital letters), 0 when not known.
int IbanLength(QStringView country);
bool LuhnValid(QStringView digits);
bool CardPrefixKnown(QStringView digits);
bool TaxIdValid(QStringView digits);
bool IsCalendarDate(int year, int month, int day);

} // namespace mx
