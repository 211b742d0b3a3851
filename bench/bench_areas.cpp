// The proposals and the every-occurrence search over a page of 500 words:
// a letter with addresses, account and tax numbers, dates and telephone
// numbers among ordinary text.
#include "areas/proposals.h"
#include "backdrop/text_search.h"

#include <QStringList>
#include <benchmark/benchmark.h>

using namespace mx;

namespace {

// 500 words in lines of ten, about 7 points a character.
TTextWords LetterWords() {
    const QStringList filler =
        QStringLiteral("Sehr geehrte Damen und Herren, hiermit bestätigen wir Ihnen den Eingang Ihrer "
                       "Zahlung vom und bitten Sie, die folgenden Angaben zu prüfen und uns Änderungen "
                       "mitzuteilen. Mit freundlichen Grüßen Ihre Musterbank")
            .split(u' ');
    const QStringList findings{
        "DE89 3704 0044 0532 0130 00", "max.muster@beispiel.de", "(030) 123 45 67", "12. März 2024",
        "4111 1111 1111 1111",         "86 095 742 719",         "+49 171 1234567", "2024-03-12"};
    TTextWords words;
    int line = 0, column = 0, next = 0;
    const auto add = [&](const QString& text) {
        words.append({text, QRectF(72 + column * 7.0, 100 + line * 14.0, text.size() * 7.0, 10), line});
        column += int(text.size()) + 1;
        if (words.size() % 10 == 0) ++line, column = 0;
    };
    for (int i = 0; words.size() < 500; ++i) {
        if (i % 25 == 24)
            for (const QString& part : findings[next++ % findings.size()].split(u' ')) add(part);
        else
            add(filler[i % filler.size()]);
    }
    return words;
}

// Goal: well under 10 ms for all recognisers on the page.
void Proposals500Words(benchmark::State& state) {
    const TTextWords words = LetterWords();
    qsizetype found = 0;
    for (auto _ : state) found = FindProposals(words).size();
    state.counters["proposals"] = double(found);
    state.SetLabel("goal well under 10 ms");
}
BENCHMARK(Proposals500Words)->Unit(benchmark::kMicrosecond);

// Every occurrence of a word and of two words across a line break.
void FindTextEveryOccurrence500Words(benchmark::State& state) {
    const TTextWords words = LetterWords();
    const QString text = state.range(0) == 0 ? QStringLiteral("Ihre") : QStringLiteral("Ihnen den");
    qsizetype found = 0;
    for (auto _ : state) found = FindText(words, text).size();
    state.counters["matches"] = double(found);
}
BENCHMARK(FindTextEveryOccurrence500Words)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

} // namespace
