// Access keys: one letter a caption, none shared, first letters of words preferred, and the shipped
// captions of the main window all reachable in both languages.
#include "texts/Mnemonics.h"

#include <gtest/gtest.h>

#include <set>

namespace {

// The letter a marked caption is reached by (lower case), or '\0' when it has none.
QChar AccessKey(const QString& marked)
{
    for (qsizetype i = 0; i + 1 < marked.size(); ++i) {
        if (marked[i] != QLatin1Char('&'))
            continue;
        if (marked[i + 1] != QLatin1Char('&'))
            return marked[i + 1].toLower();
        ++i;
    }
    return QChar();
}

TEST(Mnemonics, EachCaptionGetsALetterNoOtherHasAndReadsAsBefore)
{
    struct Case {
        const char* name;
        QStringList captions;
        QStringList marked;
    };
    const Case cases[] = {
        {"first letters of words", {"Encrypt", "Decrypt", "Help", "Quit"}, {"&Encrypt", "&Decrypt", "&Help", "&Quit"}},
        {"a taken initial moves on to the next word",
         {"Encrypt", "Encrypt a message"},
         {"&Encrypt", "Encrypt &a message"}},
        {"then to any letter", {"Save", "Show"}, {"&Save", "S&how"}},
        {"upper and lower case are one key", {"save", "Show"}, {"&save", "S&how"}},
        // Four alike: an earlier caption gives up its first choice so that every one is reached.
        {"alike captions", {"Clear", "Clear", "Clear", "Clear"}, {"&Clear", "C&lear", "Cl&ear", "Cle&ar"}},
        {"an earlier caption keeps its initial however many alike ones follow",
         {"Encrypt", "Clear", "Clear", "Clear", "Clear", "Load"},
         {"&Encrypt", "&Clear", "C&lear", "Cle&ar", "Clea&r", "L&oad"}},
        {"a literal ampersand stays", {"Load && save"}, {"&Load && save"}},
        {"a letter the text marks comes first", {"Schl\u00fcssel &vorschlagen"}, {"Schl\u00fcssel &vorschlagen"}},
        {"unless an earlier caption has it", {"Save", "&Suggest a key"}, {"&Save", "Suggest &a key"}},
        {"no letter left", {"Ab", "Ba", "A-B"}, {"&Ab", "&Ba", "A-B"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QStringList marked = Mnemonics::Mark(c.captions);
        EXPECT_EQ(marked, c.marked);
        std::set<QChar> keys;
        for (qsizetype i = 0; i < marked.size(); ++i) {
            EXPECT_EQ(Mnemonics::Plain(marked[i]), Mnemonics::Plain(c.captions[i]));
            const QChar key = AccessKey(marked[i]);
            if (!key.isNull()) {
                EXPECT_TRUE(keys.insert(key).second) << "two captions share " << QString(key).toStdString();
            }
        }
    }
}

// A later caption is served even when only an earlier one's letter fits it; the earlier one moves on.
TEST(Mnemonics, AnEarlierCaptionGivesWayWhenALaterOneHasNoOtherLetter)
{
    EXPECT_EQ(Mnemonics::Mark({"Quit", "Q"}), (QStringList{"Q&uit", "&Q"}));
}

} // namespace
