// The proposals: what each recogniser finds and what it must leave alone,
// the boxes it gives, and how kinds that claim the same characters part.
#include "areas/proposals.h"
#include "areas/recognisers.h"
#include "tests/support/page_words.h"

#include <gtest/gtest.h>

using namespace mx;
using namespace mx::test;

namespace {

// "Kind: text" of each proposal, in the order given.
QStringList Found(const QStringList& lines) {
    QStringList found;
    for (const TProposal& p : FindProposals(PageWords(lines))) found.append(KindName(p.Kind) + ": " + p.Text);
    return found;
}

// Each line alone must give exactly `want` (one finding or none).
void ExpectEach(const QStringList& lines, const QString& kind, bool found) {
    for (const QString& line : lines) {
        SCOPED_TRACE(line.toStdString());
        const QStringList all = Found({line});
        if (found) {
            ASSERT_EQ(all.size(), 1) << all.join(" | ").toStdString();
            EXPECT_TRUE(all[0].startsWith(kind + ": ")) << all[0].toStdString();
        } else {
            EXPECT_TRUE(all.isEmpty() || !all[0].startsWith(kind + ": ")) << all.join(" | ").toStdString();
        }
    }
}

} // namespace

TEST(Proposals, KindNames) {
    EXPECT_EQ(KindName(TProposalKind::Iban), "IBAN");
    EXPECT_EQ(KindName(TProposalKind::Email), "E-Mail");
    EXPECT_EQ(KindName(TProposalKind::Phone), "Telefon");
    EXPECT_EQ(KindName(TProposalKind::Date), "Datum");
    EXPECT_EQ(KindName(TProposalKind::CardNumber), "Kartennummer");
    EXPECT_EQ(KindName(TProposalKind::TaxId), "Steuer-ID");
    EXPECT_EQ(KindName(TProposalKind::Name), "Name");
}

TEST(Proposals, NamesAfterASalutationOrALabel) {
    EXPECT_EQ(Found({"Herrn Dr. Max Mustermann"}), QStringList{"Name: Dr. Max Mustermann"});
    EXPECT_EQ(Found({"Sehr geehrte Frau Schmidt-Weber, wir danken"}), QStringList{"Name: Schmidt-Weber"});
    EXPECT_EQ(Found({"Kontoinhaber: Erika Maria von Musterfrau"}), QStringList{"Name: Erika Maria von Musterfrau"});
    EXPECT_EQ(Found({"Name: O'Brien"}), QStringList{"Name: O'Brien"});
    // The name ends at the line, at a word in lower case, after four words.
    EXPECT_EQ(Found({"Herrn Max", "Mustermann"}), QStringList{"Name: Max"});
    EXPECT_EQ(Found({"Frau Lehmann hat angerufen"}), QStringList{"Name: Lehmann"});
    EXPECT_EQ(Found({"Herr A B C D E"}), QStringList{"Name: A B C D"});
    // Nothing without an introducing word, or with nothing after it.
    ExpectEach({"Max Mustermann", "Herrn", "Herr und Frau", "Name: 12345", "Herrenmode Berlin", "Herrn GMBH."}, "Name",
               false);
}

TEST(Proposals, Ibans) {
    EXPECT_EQ(Found({"IBAN: DE89 3704 0044 0532 0130 00 BIC: COBADEFFXXX"}),
              QStringList{"IBAN: DE89 3704 0044 0532 0130 00"});
    EXPECT_EQ(Found({"IBAN:DE89370400440532013000,"}), QStringList{"IBAN: DE89370400440532013000"});
    ExpectEach({"GB82 WEST 1234 5698 7654 32", "AT61 1904 3002 3457 3201", "CH93 0076 2011 6238 5295 7",
                "FR14 2004 1010 0505 0001 3M02 606", "NL91 ABNA 0417 1643 00", "BE68 5390 0754 7034", "NO9386011117947",
                "de89 3704 0044 0532 0130 00"},
               "IBAN", true);
    ExpectEach(
        {
            "DE88 3704 0044 0532 0130 00",  // wrong check digits
            "DE89 3704 0044 0532 0130 01",  // wrong account digit
            "DE89 3704 0044 0532 1030 00",  // two digits swapped
            "DE89 3704 0044 0532 0130 0",   // one short
            "DE8937040044053201300",        // one short, in one word
            "DE01370400440100000058",       // 01 passes mod 97 where 98 is meant
            "DE89 37040 0440 5320 1300 0",  // not in groups of four
            "XDE89370400440532013000",      // inside a longer word
            "DE89 3704 0044 0532 0130 001", // a group too long at the end
        },
        "IBAN", false);
    EXPECT_EQ(Found({"DE98370400440100000058"}), QStringList{"IBAN: DE98370400440100000058"});
    EXPECT_TRUE(IbanCheckDigitsValid(u"DE89370400440532013000"));
    EXPECT_FALSE(IbanCheckDigitsValid(u"DE89 3704"));
    EXPECT_EQ(IbanLength(u"DE"), 22);
    EXPECT_EQ(IbanLength(u"ZZ"), 0);
}

TEST(Proposals, IbanWrappedToTheNextLineHasABoxOnEach) {
    const QList<TProposal> found = FindProposals(PageWords({"Konto DE89 3704 0044", "0532 0130 00 bei der Bank"}));
    ASSERT_EQ(found.size(), 1);
    EXPECT_EQ(found[0].Text, "DE89 3704 0044 0532 0130 00");
    EXPECT_EQ(found[0].Boxes, (QList<QRectF>{CharsBox(0, 6, 14), CharsBox(1, 0, 12)}));
}

TEST(Proposals, CardNumbers) {
    ExpectEach({"4111 1111 1111 1111", "4111-1111-1111-1111", "4012888888881881", "5500 0000 0000 0004",
                "3782 822463 10005", "3056 930902 5904", "6011 1111 1111 1117", "5555 5555 5555 4444 gültig"},
               "Kartennummer", true);
    ExpectEach(
        {
            "4111 1111 1111 1112",    // fails Luhn
            "4111111111111112",       // fails Luhn, one word
            "1111 1111 1111 1117",    // passes Luhn, no issuer starts with 1
            "7111 1111 1111 1114",    // nor with 7
            "4111 1111 1111",         // too short
            "4111 1111-1111 1111",    // mixed separators
            "Nr. 12 4111111111111111" // the tail of a longer number
        },
        "Kartennummer", false);
    EXPECT_EQ(Found({"Karte 4111 1111 1111 1111 2024"}), QStringList{"Kartennummer: 4111 1111 1111 1111"});
    EXPECT_TRUE(LuhnValid(u"79927398713"));
    EXPECT_FALSE(LuhnValid(u"79927398710"));
    EXPECT_FALSE(LuhnValid(u"7992a398713"));
}

TEST(Proposals, TaxIds) {
    EXPECT_EQ(Found({"Steuer-ID: 86 095 742 719"}), QStringList{"Steuer-ID: 86 095 742 719"});
    ExpectEach({"86095742719", "65 929 970 489", "51234467891", "(12345678911)"}, "Steuer-ID", true);
    ExpectEach(
        {
            "86095742718",     // wrong check digit
            "86 095 742 71",   // one short
            "12345678903",     // right check digit, but no digit twice
            "51112346789",     // right check digit, but 1 three times in a row
            "11112345671",     // a digit four times
            "06095742719",     // begins with 0
            "86 095 742 719 5" // a longer number
        },
        "Steuer-ID", false);
    EXPECT_TRUE(TaxIdValid(u"25768131411")); // a digit three times, apart
}

TEST(Proposals, EmailAddresses) {
    EXPECT_EQ(Found({"Schreiben Sie an <max.muster@beispiel-firma.de>."}),
              QStringList{"E-Mail: max.muster@beispiel-firma.de"});
    EXPECT_EQ(Found({"E-Mail:info+rechnung@mail.example.com,"}), QStringList{"E-Mail: info+rechnung@mail.example.com"});
    ExpectEach({"anna_berg@müller.de", "'o'neil@example.org'", "x@y.info"}, "E-Mail", true);
    ExpectEach({"max@localhost", "max@beispiel.d1", "max@beispiel.d", "a..b@beispiel.de", ".@beispiel.de",
                "max@-beispiel.de", "@beispiel.de", "max@beispiel..de", "a@b.de@c.de", "max @ beispiel.de"},
               "E-Mail", false);
}

TEST(Proposals, EmailBoxIsItsShareOfTheWord) {
    const QList<TProposal> found = FindProposals(PageWords({"E-Mail:max@x.de."}));
    ASSERT_EQ(found.size(), 1);
    EXPECT_EQ(found[0].Boxes, QList<QRectF>{CharsBox(0, 7, 8)});
}

TEST(Proposals, Dates) {
    ExpectEach({"am 12.03.2024", "1.3.24", "29.02.2024", "2024-03-12", "12. März 2024", "3. Dez. 2023", "12.März 2024",
                "im Mai 2024", "29.02.00", "Datum:01.01.1999."},
               "Datum", true);
    ExpectEach(
        {
            "31.02.2024", "29.02.2023", "31.04.2024", "12.13.2024", "0.3.2024", // no such day
            "12.03.202",                                                        // three-digit year
            "12.03.1899", "12.03.2100",                                         // years outside
            "1.12.03.2024", "12.03.2024.5", "2024-03-12-1", "1-2024-03-12",     // longer numbers
            "12. Märzen 2024", "Mär 2024", "12. Mai",                           // not a month, no year
        },
        "Datum", false);
    EXPECT_EQ(Found({"Berlin, den 12. März", "2024"}), QStringList{"Datum: 12. März 2024"});
    EXPECT_EQ(Found({"Zeitraum 01.03.2024-31.03.2024"}), (QStringList{"Datum: 01.03.2024", "Datum: 31.03.2024"}));
}

TEST(Proposals, TelephoneNumbers) {
    EXPECT_EQ(Found({"Tel. (030) 123 45 67, Fax 030 12 34 56-78"}),
              (QStringList{"Telefon: (030) 123 45 67", "Telefon: 030 12 34 56-78"}));
    ExpectEach({"030 1234567", "030/1234567", "030 / 1234567", "0171-1234567", "Tel.:0301234567", "+49 30 1234567",
                "+49 (0)30 1234567", "+49(0)30-1234567", "0049 30 1234567", "+1 212 555 0100", "+4930123456"},
               "Telefon", true);
    ExpectEach(
        {
            "01.03.2024", "01-03-2024", "01/03/24", // dates
            "01067 Dresden", "10115 Berlin",        // postcodes
            "030 123",                              // too few digits
            "+4930123456789012",                    // too many
            "Betrag 0,50 EUR", "Nr. 4711 0301234",  // a decimal, a longer number
            "030 1234567abc",                       // runs into letters
        },
        "Telefon", false);
    // A following number is not taken in when that makes too many digits.
    EXPECT_EQ(Found({"030 1234567 10115 Berlin"}), QStringList{"Telefon: 030 1234567"});
}

TEST(Proposals, KindsNeverShareCharactersAndComeInReadingOrder) {
    // The IBAN's groups hold "0532 0130 00" and 16-digit runs; only the
    // IBAN is proposed. Reading order across kinds and lines.
    const QStringList page{"Max Muster, max@muster.de, Tel. 0171 1234567",
                           "IBAN DE89 3704 0044 0532 0130 00 vom 12.03.2024",
                           "Karte 4111 1111 1111 1111, Steuer-ID 86 095 742 719"};
    EXPECT_EQ(Found(page),
              (QStringList{"E-Mail: max@muster.de", "Telefon: 0171 1234567", "IBAN: DE89 3704 0044 0532 0130 00",
                           "Datum: 12.03.2024", "Kartennummer: 4111 1111 1111 1111", "Steuer-ID: 86 095 742 719"}));
    const QList<TProposal> found = FindProposals(PageWords(page));
    ASSERT_EQ(found.size(), 6);
    EXPECT_EQ(found[2].Boxes, QList<QRectF>{CharsBox(1, 5, 27)});
    EXPECT_TRUE(FindProposals({}).isEmpty());
}

TEST(Proposals, TheLongerOfOverlappingFindingsWins) {
    // A fax number as an address's local part is a telephone number too,
    // and a tax number may be one as well; the address covers both.
    EXPECT_EQ(FindPhoneNumbers("0301234567@fax.beispiel.de"), (QList<TSpan>{TSpan{0, 10}}));
    EXPECT_EQ(Found({"0301234567@fax.beispiel.de"}), QStringList{"E-Mail: 0301234567@fax.beispiel.de"});
    EXPECT_EQ(FindTaxIds("86095742719@beispiel.de"), (QList<TSpan>{TSpan{0, 11}}));
    EXPECT_EQ(Found({"86095742719@beispiel.de"}), QStringList{"E-Mail: 86095742719@beispiel.de"});
}
