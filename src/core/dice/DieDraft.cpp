#include "dice/DieDraft.h"

#include "dice/DiceData.h"
#include "dice/DiceIcons.h"

#include <algorithm>

using namespace Qt::StringLiterals;

int ChoiceIndex(std::span<const int> choices, int value)
{
    const auto found = std::find_if(choices.begin(), choices.end(), [value](int choice) { return choice >= value; });
    return found == choices.end() ? -1 : int(found - choices.begin());
}

int InsertCount(std::vector<int> &counts, int value)
{
    const auto place = std::lower_bound(counts.begin(), counts.end(), value);
    const int index = int(place - counts.begin());
    if (place == counts.end() || *place != value)
        counts.insert(place, value);
    return index;
}

qint32 DefaultFaceSymbol(Profession profession)
{
    switch (profession) {
    case Profession::Archer:
    case Profession::LightMissile:
        return BasicIcon::Missile;
    case Profession::Cavalry:
        return BasicIcon::Move;
    case Profession::Defense:
        return BasicIcon::Save;
    case Profession::Mage:
        return BasicIcon::Magic;
    case Profession::None:
    case Profession::HeavyTroop:
    case Profession::LightTroop:
    case Profession::LightMage:
        break;
    }
    return BasicIcon::Melee;
}

std::vector<TSymbolChoice> SymbolChoices(const TIconTable &icons, bool allIcons)
{
    std::vector<TSymbolChoice> choices;
    for (qint32 id = 0; const TIconDescriptor *icon = icons.GetIcon(id); ++id) {
        if (!icon->Name.isEmpty() && (allIcons || icon->Basic))
            choices.push_back({icon->Name, id});
    }
    std::stable_sort(choices.begin(), choices.end(), [](const TSymbolChoice &a, const TSymbolChoice &b) {
        return a.Name.compare(b.Name, Qt::CaseInsensitive) < 0;
    });
    return choices;
}

int SymbolForLetter(const std::vector<TSymbolChoice> &choices, QChar letter)
{
    const QString key(letter);
    for (size_t i = 0; i < choices.size(); ++i) {
        if (choices[i].Name.compare(key, Qt::CaseInsensitive) >= 0)
            return int(i);
    }
    return int(choices.size()) - 1;
}

int StepOverRepeats(const std::vector<TDie *> &list, int index, int step)
{
    const int count = int(list.size());
    if (count == 0 || step == 0)
        return -1;
    index = std::clamp(index, 0, count - 1);
    const TDie *shown = list[size_t(index)];
    for (int next = index + step; next >= 0 && next < count; next += step) {
        if (list[size_t(next)] != shown)
            return next;
    }
    return step > 0 ? count - 1 : 0;
}

QString ChanceText(const TDie &die, EffectFlag flag)
{
    return QString::asprintf("%7.2f", die.Fraction(flag) * 100.0);
}

void TDieDraft::Load(const TDie &die)
{
    Name = die.Name;
    Prof = die.GetProfession();
    Health = die.Health();
    UltraRare = die.UltraRare;
    Faces.clear();
    for (int face = 0; face < die.FaceCount(); ++face)
        Faces.push_back({die.FaceSymbol(face), die.FaceSymbolCount(face)});
    Selected = Faces.empty() ? -1 : 0;
    Modified = false;
    FacesEdited = false;
}

void TDieDraft::WriteTo(TDie &die) const
{
    die.Name = Name;
    die.SetProfession(Prof);
    die.UltraRare = UltraRare;
    die.SetHealth(Health);
    die.SetFaceCount(FaceCount());
    for (int face = 0; face < FaceCount(); ++face)
        die.SetFace(face, Faces[size_t(face)].Symbol, Faces[size_t(face)].Count);
}

QString TDieDraft::FaceText(int face) const
{
    if (face < 0 || face >= FaceCount())
        return {};
    return FIcons.FaceText(Faces[size_t(face)].Symbol, Faces[size_t(face)].Count);
}

void TDieDraft::SetName(const QString &name)
{
    Name = name;
    Modified = true;
}

void TDieDraft::SetUltraRare(bool ultraRare)
{
    UltraRare = ultraRare;
    Modified = true;
}

QStringList TDieDraft::ChangeProfession(Profession profession)
{
    Prof = profession;
    return NewSpecs(u"Profession"_s);
}

QStringList TDieDraft::ChangeHealth(int health)
{
    Health = health;
    return NewSpecs(u"Health points"_s);
}

QStringList TDieDraft::NewSpecs(const QString &what)
{
    Modified = true;
    if (FacesEdited)
        return {what + u" changed."_s};
    const qint32 symbol = DefaultFaceSymbol(Prof);
    for (size_t face = 0; face < Faces.size(); ++face) {
        if (face == 0 && Faces[0].Symbol == BasicIcon::ID)
            Faces[0].Count = Health;
        else
            Faces[face] = {symbol, Health};
    }
    return {u"Regenerating die faces..."_s, u"Default faces recomputed."_s};
}

void TDieDraft::ChangeFaceCount(int count)
{
    count = std::clamp(count, 0, int(TDie::kMaxFaces));
    Faces.resize(size_t(count), {DefaultFaceSymbol(Prof), Health});
    if (Selected >= count)
        Selected = count - 1;
    Modified = true;
}

QString TDieDraft::StoreFace(qint32 symbol, int count)
{
    const int face = Selected >= 0 ? Selected : 1;
    if (face >= FaceCount())
        return {};
    Faces[size_t(face)] = {symbol, count};
    Modified = true;
    FacesEdited = true;
    Selected = face;
    SelectNext();
    return u"Face %1 changed to %2."_s.arg(QString::number(face + 1), FaceText(face));
}

void TDieDraft::SelectNext()
{
    if (Faces.empty())
        Selected = -1;
    else
        Selected = Selected + 1 >= FaceCount() ? 0 : Selected + 1;
}

void TDieDraft::SelectPrevious()
{
    if (Faces.empty())
        Selected = -1;
    else
        Selected = Selected <= 0 ? FaceCount() - 1 : Selected - 1;
}
