#include "army/ArmyData.h"

#include "army/ArmyFile.h"
#include "dice/Catalogue.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// Each land takes four consecutive indices of both terrain tables, in this order.
constexpr std::array kTerrainLands{Land::Coastland, Land::Flatland,  Land::Highland,
                                   Land::Swampland, Land::Wasteland, Land::Feyland};
constexpr std::array kMajorSites{u"City",   u"Standing Stones", u"Temple", u"Tower",
                                 u"Castle", u"Dragon Lair",     u"Grove",  u"Vortex"};
constexpr std::array kMinorSites{u"Bridge", u"Forest", u"Knoll", u"Village"};

void CheckTerrain(int index, int limit, const char16_t *what)
{
    if (index < 0 || index >= limit) {
        throw TDiceException(u"There is no %1 terrain %2."_s.arg(QString::fromUtf16(what), QString::number(index)));
    }
}

} // namespace

TArmy::TArmy(TCatalogue &catalogue) : FCatalogue(&catalogue), FName(u"New Army"_s), FGroup(u"(none)"_s)
{
    if (HasMajorTerrain(FType))
        UseMajor(1);
    for (int index : FMinor)
        UseMinor(index, 1);
}

TArmy::~TArmy()
{
    Release();
}

void TArmy::SetName(const QString &name)
{
    FName = name;
    Changed();
}

void TArmy::SetNotes(const QString &notes)
{
    FNotes = notes;
    Changed();
}

void TArmy::SetArmyType(ArmyType type)
{
    // A type without a name could be saved but never read again.
    if (!IsInVocabulary<ArmyType>(qint64(type)))
        throw TDiceException(u"There is no army type %1."_s.arg(int(type)));
    if (HasMajorTerrain(type) != HasMajorTerrain(FType))
        UseMajor(HasMajorTerrain(type) ? 1 : -1);
    FType = type;
    Changed();
}

void TArmy::SetMajorTerrain(int index)
{
    CheckTerrain(index, kMajorTerrainCount, u"major");
    if (HasMajorTerrain(FType)) {
        UseMajor(-1);
        FMajor = index;
        UseMajor(1);
    } else {
        FMajor = index;
    }
    Changed();
}

int TArmy::GetMinorTerrain(int k) const
{
    if (k < 1 || k > int(FMinor.size()))
        return kNoMinorTerrain;
    return FMinor[size_t(k - 1)];
}

void TArmy::SetMinorTerrain(int k, int index)
{
    if (k < 1 || k > int(FMinor.size()))
        return;
    CheckTerrain(index, kNoMinorTerrain + 1, u"minor");
    int &slot = FMinor[size_t(k - 1)];
    UseMinor(slot, -1);
    slot = index;
    UseMinor(slot, 1);
    Changed();
}

void TArmy::SetGroupName(const QString &name)
{
    FGroup = name;
    Changed();
}

void TArmy::SetBattleSize(quint32 size)
{
    FBattleSize = size;
    Changed();
}

void TArmy::AddDie(TDie &die)
{
    Analyzed = false;
    FDice.push_back(&die);
    Use(die, 1);
    Changed();
}

bool TArmy::RemoveDie(const TDie &die)
{
    const auto found = std::find(FDice.begin(), FDice.end(), &die);
    if (found == FDice.end())
        return false;
    RemoveAt(int(found - FDice.begin()));
    return true;
}

void TArmy::RemoveAt(int index)
{
    if (index < 0 || index >= int(FDice.size()))
        return;
    TDie &die = *FDice[size_t(index)];
    Analyzed = false;
    FDice.erase(FDice.begin() + index);
    Use(die, -1);
    Changed();
}

void TArmy::Reorder(const std::vector<TDie *> &dice)
{
    // Health and used counts follow the entries, so a new order that were not the same
    // entries would leave both wrong.
    std::vector<TDie *> mine = FDice;
    std::vector<TDie *> theirs = dice;
    std::sort(mine.begin(), mine.end());
    std::sort(theirs.begin(), theirs.end());
    if (mine != theirs)
        throw TDiceException(u"The new order of \"%1\" does not hold the army's dice."_s.arg(FName));
    FDice = dice;
    Changed();
}

TDie *TArmy::FirstDie(int &cursor) const
{
    cursor = 0;
    return NextDie(cursor);
}

TDie *TArmy::NextDie(int &cursor) const
{
    if (cursor < 0 || cursor >= int(FDice.size()))
        return nullptr;
    return FDice[size_t(cursor++)];
}

qint32 TArmy::Health() const
{
    qint32 sum = 0;
    for (const TDie *die : FDice)
        sum += IsSummoned(*die) ? 0 : die->Health();
    return sum;
}

qint32 TArmy::SummonedHealth() const
{
    qint32 sum = 0;
    for (const TDie *die : FDice)
        sum += IsSummoned(*die) ? die->Health() : 0;
    return sum;
}

QString TArmy::HealthText() const
{
    return QString::number(Health()) + u'/' + QString::number(SummonedHealth());
}

bool TArmy::IsSummoned(const TDie &die)
{
    return die.Race().Type == RaceType::Dragonkin;
}

void TArmy::Release()
{
    if (FReleased)
        return;
    for (TDie *die : FDice)
        FCatalogue->AddUsed(*die, -1);
    if (HasMajorTerrain(FType))
        UseMajor(-1);
    for (int index : FMinor)
        UseMinor(index, -1);
    FReleased = true;
}

int TArmy::ReadRecord(TTaggedReader &reader)
{
    // The whole record first, so that a damaged one leaves the army as it was.
    const TArmyRecord record = TArmyRecord::Read(reader);

    FReleased = false;
    FDice.clear();
    int lost = 0;
    for (const TArmyDieReference &reference : record.AllDice()) {
        const TRace *race = FCatalogue->FindRaceByID(reference.Race);
        TDie *die = race ? race->DieByID(reference.Die) : nullptr;
        if (!die) {
            ++lost;
            continue;
        }
        FDice.push_back(die);
        Use(*die, 1);
    }
    FName = record.Name;
    FNotes = record.Notes;
    FType = record.Type;
    FBattleSize = record.BattleSize;
    FMajor = record.MajorTerrain;
    FMinor = record.MinorTerrains;
    FGroup = record.GroupName;
    if (HasMajorTerrain(FType))
        UseMajor(1);
    for (int index : FMinor)
        UseMinor(index, 1);
    Modified = false;
    Analyzed = false;
    return lost;
}

void TArmy::WriteRecord(TTaggedWriter &writer) const
{
    RecordOf(*this).Write(writer);
}

void TArmy::Use(TDie &die, int delta)
{
    if (!FReleased)
        FCatalogue->AddUsed(die, delta);
}

void TArmy::UseMajor(int delta)
{
    if (FReleased)
        return;
    // A catalogue without its terrain items (a tool that never made them) has nothing
    // to count.
    if (TTerrain *terrain = FCatalogue->MajorTerrain(FMajor))
        FCatalogue->AddUsed(*terrain, delta);
}

void TArmy::UseMinor(int index, int delta)
{
    if (FReleased)
        return;
    if (TTerrain *terrain = FCatalogue->MinorTerrain(index)) // none for "(not used)"
        FCatalogue->AddUsed(*terrain, delta);
}

void TArmy::Changed()
{
    Modified = true;
}

QString MajorTerrainName(int index)
{
    if (index < 0 || index >= TArmy::kMajorTerrainCount)
        return {};
    const int within = index % 24;
    return NameOf(kTerrainLands[size_t(within / 4)]) + u' ' +
           QString::fromUtf16(kMajorSites[size_t(index / 24 * 4 + within % 4)]);
}

QString MinorTerrainName(int index)
{
    if (index == TArmy::kNoMinorTerrain)
        return u"(not used)"_s;
    if (index < 0 || index > TArmy::kNoMinorTerrain)
        return {};
    return NameOf(kTerrainLands[size_t(index / 4)]) + u' ' + QString::fromUtf16(kMinorSites[size_t(index % 4)]);
}
