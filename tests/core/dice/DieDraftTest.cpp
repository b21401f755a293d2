#include "dice/DieDraft.h"
#include "TestSupport.h"
#include "dice/Catalogue.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

class DieDraftTest : public ::testing::Test
{
protected:
    DieDraftTest() : Race(Catalogue.AppendRace(Catalogue.CreateRace())), Draft(Catalogue.Icons()) {}

    // A die of the race whose faces are (symbol, count) pairs.
    TDie &NewDie(const std::vector<TFaceLine> &faces, int health = 1, Profession profession = Profession::Cavalry)
    {
        auto die = std::make_unique<TDie>(Race, u"Tester"_s);
        die->SetHealth(health);
        die->SetProfession(profession);
        die->SetFaceCount(int(faces.size()));
        for (size_t i = 0; i < faces.size(); ++i)
            die->SetFace(int(i), faces[i].Symbol, faces[i].Count);
        return *Race.Die(Race.AddDie(std::move(die)));
    }

    QStringList Lines() const
    {
        QStringList lines;
        for (int face = 0; face < Draft.FaceCount(); ++face)
            lines << Draft.FaceText(face);
        return lines;
    }

    TCatalogue Catalogue;
    TRace &Race;
    TDieDraft Draft;
};

} // namespace

TEST_F(DieDraftTest, ProfessionAndHealthRegenerateTheFacesUntilOneIsStoredByHand)
{
    // A fresh die: the "ID" face and five "Move" faces of health 1.
    Draft.Load(*Race.Die(Race.AddDie(std::make_unique<TDie>(Race))));
    EXPECT_FALSE(Draft.Modified);
    EXPECT_EQ(Draft.ChangeProfession(Profession::Mage),
              (QStringList{u"Regenerating die faces..."_s, u"Default faces recomputed."_s}));
    EXPECT_TRUE(Draft.Modified);
    EXPECT_EQ(Lines(), (QStringList{u"1 ID"_s, u"1 Magic"_s, u"1 Magic"_s, u"1 Magic"_s, u"1 Magic"_s, u"1 Magic"_s}));
    // The "ID" face takes the new health as its count too.
    Draft.ChangeHealth(3);
    EXPECT_EQ(Lines(), (QStringList{u"3 ID"_s, u"3 Magic"_s, u"3 Magic"_s, u"3 Magic"_s, u"3 Magic"_s, u"3 Magic"_s}));

    // Without an "ID" first face every face is regenerated.
    Draft.Load(NewDie({{BasicIcon::Melee, 2}, {BasicIcon::ID, 2}, {BasicIcon::Save, 1}, {BasicIcon::Save, 1}}, 2));
    Draft.ChangeProfession(Profession::Archer);
    EXPECT_EQ(Lines(), (QStringList{u"2 Missile"_s, u"2 Missile"_s, u"2 Missile"_s, u"2 Missile"_s}));
    Draft.ChangeProfession(Profession::Defense);
    EXPECT_EQ(Draft.FaceText(3), u"2 Save");

    // Once a face was stored by hand, profession and health changes only say so.
    Draft.Load(NewDie({{BasicIcon::ID, 1}, {BasicIcon::Move, 1}, {BasicIcon::Move, 1}}));
    EXPECT_EQ(Draft.StoreFace(BasicIcon::Melee, 3), u"Face 1 changed to 3 Melee.");
    EXPECT_TRUE(Draft.FacesEdited);
    EXPECT_EQ(Draft.ChangeHealth(4), QStringList{u"Health points changed."_s});
    EXPECT_EQ(Draft.ChangeProfession(Profession::Mage), QStringList{u"Profession changed."_s});
    EXPECT_EQ(Lines(), (QStringList{u"3 Melee"_s, u"1 Move"_s, u"1 Move"_s}));
    EXPECT_EQ(Draft.Health, 4);
    EXPECT_EQ(Draft.Prof, Profession::Mage);
    // Showing the die again forgets the hand edits.
    Draft.Load(*Race.Dice().back());
    EXPECT_FALSE(Draft.FacesEdited || Draft.Modified);
}

TEST_F(DieDraftTest, FaceCountDropsFromTheEndAndAddsDefaultFaces)
{
    Draft.Load(NewDie({{BasicIcon::ID, 2},
                       {BasicIcon::Melee, 2},
                       {BasicIcon::Save, 1},
                       {BasicIcon::Move, 1},
                       {BasicIcon::Missile, 2},
                       {BasicIcon::Magic, 1}},
                      2, Profession::Cavalry));
    Draft.Selected = 5;
    Draft.ChangeFaceCount(4);
    EXPECT_EQ(Lines(), (QStringList{u"2 ID"_s, u"2 Melee"_s, u"1 Save"_s, u"1 Move"_s}));
    EXPECT_EQ(Draft.Selected, 3); // the selection stays on a face that exists
    EXPECT_TRUE(Draft.Modified);
    Draft.ChangeFaceCount(6);
    EXPECT_EQ(Lines(), (QStringList{u"2 ID"_s, u"2 Melee"_s, u"1 Save"_s, u"1 Move"_s, u"2 Move"_s, u"2 Move"_s}));

    // Written into the die, the faces and the count arrive as drafted.
    TDie &die = *Race.Dice().front();
    Draft.WriteTo(die);
    ASSERT_EQ(die.FaceCount(), 6);
    EXPECT_EQ(die.FaceText(4), u"2 Move");
    EXPECT_FALSE(die.StatisticsValid());
}

TEST_F(DieDraftTest, StoringAFaceMovesTheSelectionOnAndWraps)
{
    Draft.Load(NewDie({{BasicIcon::ID, 1}, {BasicIcon::Move, 1}, {BasicIcon::Move, 1}}));
    Draft.Selected = -1; // none selected: the second face is the one
    EXPECT_EQ(Draft.StoreFace(BasicIcon::Save, 2), u"Face 2 changed to 2 Save.");
    EXPECT_EQ(Draft.Selected, 2);
    EXPECT_EQ(Draft.StoreFace(BasicIcon::Magic, 10), u"Face 3 changed to 10 Magic.");
    EXPECT_EQ(Draft.Selected, 0);
    EXPECT_EQ(Lines(), (QStringList{u"1 ID"_s, u"2 Save"_s, u"10 Magic"_s}));
    Draft.SelectPrevious();
    EXPECT_EQ(Draft.Selected, 2);
    Draft.SelectNext();
    EXPECT_EQ(Draft.Selected, 0);

    // A die of one face has no second face to store into.
    Draft.Load(NewDie({{BasicIcon::ID, 1}}));
    Draft.Selected = -1;
    EXPECT_EQ(Draft.StoreFace(BasicIcon::Save, 1), QString());
    EXPECT_FALSE(Draft.Modified || Draft.FacesEdited);
    EXPECT_EQ(Draft.FaceText(0), u"1 ID");
}

TEST_F(DieDraftTest, ValuesBeyondTheChoicesSurviveARename)
{
    // Health 7 shows as "10" and 8 faces as "10", but saving a new name must not turn the
    // die into a 10-health, 10-face one.
    std::vector<TFaceLine> faces(8, {BasicIcon::Melee, 7});
    faces[0] = {BasicIcon::ID, 7};
    TDie &die = NewDie(faces, 7, Profession::HeavyTroop);
    die.UltraRare = true;
    Draft.Load(die);
    EXPECT_EQ(kHealthChoices[size_t(ChoiceIndex(kHealthChoices, Draft.Health))], 10);
    EXPECT_EQ(kSideChoices[size_t(ChoiceIndex(kSideChoices, Draft.FaceCount()))], 10);
    EXPECT_EQ(ChoiceIndex(kHealthChoices, 12), -1);
    EXPECT_EQ(ChoiceIndex(kSideChoices, 13), -1);
    EXPECT_EQ(ChoiceIndex(kHealthChoices, 1), 0);
    Draft.SetName(u"Renamed"_s);
    EXPECT_TRUE(Draft.Modified);
    Draft.WriteTo(die);
    EXPECT_EQ(die.Name, u"Renamed");
    EXPECT_EQ(die.Health(), 7);
    EXPECT_EQ(die.FaceCount(), 8);
    EXPECT_EQ(die.FaceText(7), u"7 Melee");
    EXPECT_EQ(die.GetProfession(), Profession::HeavyTroop);
    EXPECT_TRUE(die.UltraRare);

    // A count outside the list joins it in order, once.
    std::vector<int> counts(kIconCountChoices.begin(), kIconCountChoices.end());
    EXPECT_EQ(InsertCount(counts, 10), 7);
    EXPECT_EQ(counts.size(), kIconCountChoices.size());
    EXPECT_EQ(InsertCount(counts, 8), 7);
    EXPECT_EQ(InsertCount(counts, 8), 7);
    EXPECT_EQ(counts, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 10, 12, 14, 20, 24}));
    EXPECT_EQ(InsertCount(counts, 30), 13);
}

TEST_F(DieDraftTest, SymbolListIsSortedWithoutCaseAndFindsByLetter)
{
    TIconDescriptor special;
    special.Name = u"ambush"_s;
    Catalogue.Icons().Add(special);
    special.Name = u"Zephyr"_s;
    Catalogue.Icons().Add(special);
    special.Name.clear(); // a deleted symbol
    Catalogue.Icons().Add(special);

    const std::vector<TSymbolChoice> all = SymbolChoices(Catalogue.Icons(), true);
    QStringList names;
    for (const TSymbolChoice &choice : all)
        names << choice.Name;
    EXPECT_EQ(names, (QStringList{u"ambush"_s, u"ID"_s, u"Magic"_s, u"Melee"_s, u"Missile"_s, u"Move"_s, u"Save"_s,
                                  u"Zephyr"_s}));
    EXPECT_EQ(all[0].ID, 6);
    EXPECT_EQ(all[7].ID, 7);
    EXPECT_EQ(all[SymbolForLetter(all, u'M')].Name, u"Magic");
    EXPECT_EQ(all[SymbolForLetter(all, u'a')].Name, u"ambush");
    EXPECT_EQ(all[SymbolForLetter(all, u'n')].Name, u"Save"); // the first name not before "n"
    EXPECT_EQ(all[SymbolForLetter(all, u'z')].Name, u"Zephyr");

    const std::vector<TSymbolChoice> basic = SymbolChoices(Catalogue.Icons(), false);
    ASSERT_EQ(basic.size(), 6u);
    EXPECT_EQ(basic[SymbolForLetter(basic, u'T')].Name, u"Save"); // nothing after "t": the last
    EXPECT_EQ(basic[SymbolForLetter(basic, u'a')].Name, u"ID");
    EXPECT_EQ(SymbolForLetter({}, u'a'), -1);
}

TEST_F(DieDraftTest, StepsPassOverRepeatsAndStopAtTheEnds)
{
    TDie &a = NewDie({{BasicIcon::ID, 1}});
    TDie &b = NewDie({{BasicIcon::ID, 1}});
    TDie &c = NewDie({{BasicIcon::ID, 1}});
    const std::vector<TDie *> army{&a, &b, &b, &b, &c};
    EXPECT_EQ(StepOverRepeats(army, 1, 1), 4);
    EXPECT_EQ(StepOverRepeats(army, 4, -1), 3);
    EXPECT_EQ(StepOverRepeats(army, 3, -1), 0);
    EXPECT_EQ(StepOverRepeats(army, 0, 1), 1);
    EXPECT_EQ(StepOverRepeats(army, 0, -1), 0);
    EXPECT_EQ(StepOverRepeats(army, 4, 1), 4);

    // Repeats up to the end: the position goes to the end, still on the same die.
    const std::vector<TDie *> tail{&a, &b, &b};
    EXPECT_EQ(StepOverRepeats(tail, 1, 1), 2);
    const std::vector<TDie *> head{&b, &b, &c};
    EXPECT_EQ(StepOverRepeats(head, 1, -1), 0);
    EXPECT_EQ(StepOverRepeats({}, 0, 1), -1);
}

TEST_F(DieDraftTest, ChanceTextIsPercentInSevenPlaces)
{
    TDie &die = NewDie({{BasicIcon::ID, 1},
                        {BasicIcon::Move, 1},
                        {BasicIcon::Move, 1},
                        {BasicIcon::Move, 1},
                        {BasicIcon::Move, 1},
                        {BasicIcon::Move, 1}});
    EXPECT_EQ(ChanceText(die, EffectFlag::SpellResist), u"  16.67");
    EXPECT_EQ(ChanceText(die, EffectFlag::Surprise), u"   0.00");
    for (int face = 0; face < 6; ++face)
        die.SetFace(face, BasicIcon::Save, 1);
    EXPECT_EQ(ChanceText(die, EffectFlag::SpellResist), u" 100.00");
}
