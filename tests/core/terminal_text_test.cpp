// What reaches a terminal: control sequences a hostile message or name carries are shown, not obeyed.
#include "texts/TerminalText.h"

#include <gtest/gtest.h>

namespace {

using TerminalText::LineBreaks;

struct EscapeCase {
    const char* name;
    QByteArray in;
    QByteArray asMessage; // LineBreaks::Keep
    QByteArray asName;    // LineBreaks::Escape
};

const EscapeCase EscapeCases[] = {
    {"PlainTextAndUtf8Unchanged",
     "Gr\xC3\xBC\xC3\x9F"
     "e \xE6\x9D\xB1",
     "Gr\xC3\xBC\xC3\x9F"
     "e \xE6\x9D\xB1",
     "Gr\xC3\xBC\xC3\x9F"
     "e \xE6\x9D\xB1"},
    {"LineBreaksAndTabKeptInAMessageOnly", "a\tb\r\nc", "a\tb\r\nc", "a\\x09b\\x0D\\x0Ac"},
    {"ALoneCarriageReturnCannotCoverItsLine", "Pay Alice\rPay Mallory\r", "Pay Alice\\x0DPay Mallory\\x0D",
     "Pay Alice\\x0DPay Mallory\\x0D"},
    {"CarriageReturnsBeforeOneLineFeed", "a\r\r\nb", "a\\x0D\r\nb", "a\\x0D\\x0D\\x0Ab"},
    {"TitleSequenceOfEscapeAndBell", "\x1B]0;owned\x07", "\\x1B]0;owned\\x07", "\\x1B]0;owned\\x07"},
    {"ClipboardSequence", "\x1B]52;c;ZXZpbA==\x1B\\", "\\x1B]52;c;ZXZpbA==\\x1B\\", "\\x1B]52;c;ZXZpbA==\\x1B\\"},
    {"DeleteAndNul", QByteArray("a\x7F\0b", 4), "a\\x7F\\x00b", "a\\x7F\\x00b"},
    {"C1ControlAsUtf8IsEscapedAsItsCodePoint",
     "x\xC2\x9B"
     "2Jy",
     "x\\x9B2Jy", "x\\x9B2Jy"},
    {"C1ControlAsARawByte",
     "x\x9B"
     "2J",
     "x\\x9B2J", "x\\x9B2J"},
    {"InvalidUtf8BytesShownAsBytes", "caf\xE9 \xED\xA0\x80", "caf\\xE9 \\xED\\xA0\\x80", "caf\\xE9 \\xED\\xA0\\x80"},
    {"SequenceCutAtTheEnd", "ok\xE6\x9D", "ok\\xE6\\x9D", "ok\\xE6\\x9D"},
    {"LastC1AndFirstPrintableAfterIt", "\xC2\x9F\xC2\xA0", "\\x9F\xC2\xA0", "\\x9F\xC2\xA0"},
};

class TerminalTextTest : public ::testing::TestWithParam<EscapeCase> {};

TEST_P(TerminalTextTest, EscapesWhatATerminalWouldObey)
{
    const EscapeCase& c = GetParam();
    EXPECT_EQ(TerminalText::Escape(QByteArrayView(c.in), LineBreaks::Keep), c.asMessage);
    EXPECT_EQ(TerminalText::Escape(QByteArrayView(c.in), LineBreaks::Escape), c.asName);
}

INSTANTIATE_TEST_SUITE_P(Cases, TerminalTextTest, ::testing::ValuesIn(EscapeCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(TerminalTextStringTest, ANameIsEscapedWholeLineBreaksIncluded)
{
    EXPECT_EQ(TerminalText::Escape(QStringLiteral("evil\n\x1B[2Jname\u0085.txt")),
              QStringLiteral("evil\\x0A\\x1B[2Jname\\x85.txt"));
}

} // namespace
