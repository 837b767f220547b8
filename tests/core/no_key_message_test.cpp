#include "pipeline/NoKeyMessage.h"

#include "support/ProgramTexts.h"
#include "support/ScriptedDialogs.h"
#include "texts/Language.h"

#include <gtest/gtest.h>

namespace {

class NoKeyMessage : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { ASSERT_GT(Language::LoadProgramTexts(QStringLiteral(QUILLET_DATA_DIR)), 0); }
};

TEST_F(NoKeyMessage, AsksForTheRightKeyInEachModeAndLanguage)
{
    struct Case {
        bool encryptMode;
        int language;
        int textNumber;
    };
    const Case cases[] = {
        {true, Language::English, NoKeyTexts::AskForNewKey},
        {false, Language::English, NoKeyTexts::AskForSendersKey},
        {true, Language::German, NoKeyTexts::AskForNewKey},
        {false, Language::German, NoKeyTexts::AskForSendersKey},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "encrypt " << c.encryptMode << ", language " << c.language);
        ScriptedDialogs dialogs;
        Keys::ShowNoKeyMessage(dialogs, c.language, c.encryptMode);

        const auto boxes = dialogs.messages();
        ASSERT_EQ(boxes.size(), 1u);
        const QString expected = Text(c.textNumber, c.language);
        ASSERT_FALSE(expected.isEmpty());
        EXPECT_EQ(boxes[0].text, expected);
        EXPECT_EQ(boxes[0].title, Text(NoKeyTexts::NoKeySpecified, c.language));
        EXPECT_EQ(boxes[0].icon, DialogIcon::None);
        EXPECT_EQ(boxes[0].buttons, DialogButtons::Ok);
    }
}

} // namespace
