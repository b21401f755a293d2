#include "ScriptedPrompts.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(Prompts, FiltersInQtsWords)
{
    EXPECT_EQ(QtFilters(u"Army Files|*.kra|Group Files|*.krg|Game Files|*.kgm|All Files|*.*"_s),
              (QStringList{u"Army Files (*.kra)"_s, u"Group Files (*.krg)"_s, u"Game Files (*.kgm)"_s,
                           u"All Files (*.*)"_s}));
    EXPECT_EQ(QtFilters(u"Text|*.txt;*.log"_s), QStringList{u"Text (*.txt *.log)"_s});
    EXPECT_TRUE(QtFilters(QString()).isEmpty());
}

TEST(Prompts, NumbersAreAskedAgainThroughTheInputBox)
{
    TScriptedPrompts prompts;
    prompts.ExpectInput(u"Enter a number between 1 and 4:"_s, u"x"_s);
    prompts.ExpectInput(u"Invalid value.  Enter whole number:"_s, u"9"_s);
    prompts.ExpectInput(u"Value too high.  Enter a number between 1 and 4:"_s, u"2"_s);
    EXPECT_EQ(prompts.AskNumber(u"Enter split amount."_s, u"Enter a number between 1 and 4:"_s, 1, 4), 2);
    EXPECT_EQ(prompts.Transcript.first(), u"input Enter split amount.: Enter a number between 1 and 4: []");
    EXPECT_EQ(prompts.Transcript.size(), 3);
}
