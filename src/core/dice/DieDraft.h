#pragma once

#include "dice/DiceTypes.h"

#include <QString>
#include <QStringList>

#include <array>
#include <span>
#include <vector>

class TDie;
class TIconTable;

// The fixed choices of the die viewer.
inline constexpr std::array kHealthChoices{1, 2, 3, 4, 5, 10};
inline constexpr std::array kSideChoices{4, 6, 10, 12};
inline constexpr std::array kIconCountChoices{1, 2, 3, 4, 5, 6, 7, 10, 12, 14, 20, 24};

// The entry a radio group shows for a value: the first choice at least as large, or -1
// when the value is beyond every choice.
int ChoiceIndex(std::span<const int> choices, int value);
// The position of value in a sorted list of counts, inserting it in its sorted place when
// it is missing, so that a face's true count can always be shown.
int InsertCount(std::vector<int> &counts, int value);

// The symbol regenerated faces get for a profession.
qint32 DefaultFaceSymbol(Profession profession);

// One entry of the symbol list.
struct TSymbolChoice
{
    QString Name;
    qint32 ID = -1;
};

// The symbols with a name (deleted symbols have none), all of them or only the basic ones,
// sorted by name without regard to case as the list shows them.
std::vector<TSymbolChoice> SymbolChoices(const TIconTable &icons, bool allIcons);
// The entry a typed letter jumps to: the first name not before the letter, ignoring case;
// the last entry when every name is; -1 for an empty list.
int SymbolForLetter(const std::vector<TSymbolChoice> &choices, QChar letter);

// Prev/Next: steps from index through the list, passing over entries that are the die
// already shown (an army may hold one die several times). When the list ends first, the
// answer is that end, whose entry is then the shown die again.
int StepOverRepeats(const std::vector<TDie *> &list, int index, int step);

// A die's chance of an effect in percent, "%7.2f".
QString ChanceText(const TDie &die, EffectFlag flag);

// One line of the face list.
struct TFaceLine
{
    qint32 Symbol = 0;
    int Count = 1;

    friend bool operator==(const TFaceLine &, const TFaceLine &) = default;
};

// What the die viewer's form holds while a die is edited. The die itself changes only when
// the draft is written into it.
class TDieDraft
{
public:
    explicit TDieDraft(const TIconTable &icons) : FIcons(icons) {}

    // Takes the die's values; nothing is modified or edited yet and the first face is
    // selected.
    void Load(const TDie &die);
    // Name, profession, ultra-rare flag, health, then the face count and every face.
    void WriteTo(TDie &die) const;

    QString Name;
    Profession Prof = Profession::Cavalry;
    // The die's own health until the user picks one, so that a die whose health is not
    // among the choices keeps it when only its name changes.
    int Health = 1;
    bool UltraRare = false;
    std::vector<TFaceLine> Faces;
    // The face list's selection, -1 for none.
    int Selected = -1;
    // Save is offered on close.
    bool Modified = false;
    // A face was stored by hand since the die was shown; profession and health
    // changes then leave the faces alone.
    bool FacesEdited = false;

    int FaceCount() const { return int(Faces.size()); }
    // "3 Melee"; empty for a face without a symbol.
    QString FaceText(int face) const;

    void SetName(const QString &name);
    void SetUltraRare(bool ultraRare);
    // A new profession or health. Unless faces were stored by hand, every face becomes the
    // profession's default symbol with the health as count, except that a first face
    // showing "ID" keeps its symbol. Answers the status lines in order.
    QStringList ChangeProfession(Profession profession);
    QStringList ChangeHealth(int health);
    // Drops faces from the end, or adds default faces of the health's count.
    void ChangeFaceCount(int count);
    // The selected face (the second when none is) takes the symbol and count, and the
    // selection moves on, wrapping after the last. Answers the status line, empty when
    // there is no such face.
    QString StoreFace(qint32 symbol, int count);
    // The next or previous face, wrapping at either end.
    void SelectNext();
    void SelectPrevious();

private:
    QStringList NewSpecs(const QString &what);

    const TIconTable &FIcons;
};
