#include "dice/DiceData.h"

#include "dice/Catalogue.h"
#include "dice/DieStatistics.h"

#include <algorithm>
#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;

// ---------------------------------------------------------------------------------
// TInventoryData

TInventoryData::TInventoryData(QString name) : Name(std::move(name)) {}

TInventoryData::~TInventoryData() = default;

QString TInventoryData::LongText() const
{
    return Name;
}

QString TInventoryData::ShortText() const
{
    return Name;
}

QString TInventoryData::GroupText() const
{
    return {};
}

QString TInventoryData::KindText() const
{
    return {};
}

QString TInventoryData::SizeText() const
{
    return {};
}

qint32 TInventoryData::DefaultPrice() const
{
    return 4;
}

QString TInventoryData::ListText() const
{
    return Name;
}

bool TInventoryData::IsVirtual() const
{
    return false;
}

std::optional<qint32> TInventoryData::ParsePrice(const QString &text)
{
    if (text.isEmpty())
        return std::nullopt;
    for (QChar c : text) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
    }
    bool ok = false;
    const qint32 price = text.toInt(&ok, 10);
    if (!ok || price <= 0)
        return std::nullopt;
    return price;
}

// ---------------------------------------------------------------------------------
// TDie

TDie::TDie(TRace &race, QString name) : TInventoryData(std::move(name)), FRace(&race)
{
    FSymbols.fill(BasicIcon::Move);
    FSymbols[0] = BasicIcon::ID;
    FCounts.fill(1);
}

TDie::TDie(const TDie &source, TRace &race)
    : TInventoryData(source.Name),
      FRace(&race),
      FHealth(source.FHealth),
      FProfession(source.FProfession),
      FFaceCount(source.FFaceCount),
      FSymbols(source.FSymbols),
      FCounts(source.FCounts)
{
}

TDie::~TDie() = default;

QString TDie::LongText() const
{
    return Name + u" of "_s + FRace->Name + u", "_s + SizeText() + u"hp "_s + KindText() + u'.';
}

QString TDie::ShortText() const
{
    return Name + u", "_s + KindText();
}

QString TDie::GroupText() const
{
    return FRace->Name;
}

QString TDie::KindText() const
{
    return NameOf(FProfession);
}

QString TDie::SizeText() const
{
    return QString::number(FHealth);
}

qint32 TDie::DefaultPrice() const
{
    // Health 0 is priced as the smallest die, anything above 5 (dragons) as the largest.
    static constexpr std::array<qint32, 6> kByHealth{1, 1, 4, 12, 12, 20};
    return FHealth < kByHealth.size() ? kByHealth[FHealth] : kByHealth.back();
}

QString TDie::ListText() const
{
    QString text = Name + u", "_s + FRace->Name;
    if (FProfession != Profession::None)
        text += u' ' + KindText();
    return text + u", "_s + SizeText() + u"hp"_s;
}

void TDie::AssignID(qint32 id)
{
    if (FID != kNoID)
        throw TDiceException(u"Cannot assign a new ID to \"%1\"."_s.arg(Name));
    FID = id;
}

void TDie::SetHealth(int health)
{
    FHealth = quint8(health);
    FStatsValid = false;
}

void TDie::SetProfession(Profession profession)
{
    FProfession = profession;
    FStatsValid = false;
}

void TDie::SetFaceCount(int count)
{
    if (count < 0 || count > kMaxFaces)
        throw TDiceException(u"\"%1\" cannot have %2 faces; a die has at most %3."_s.arg(
            Name, QString::number(count), QString::number(kMaxFaces)));
    while (FFaceCount < count) {
        FSymbols[size_t(FFaceCount)] = BasicIcon::Save;
        FCounts[size_t(FFaceCount)] = 1;
        ++FFaceCount;
    }
    FFaceCount = count;
    FStatsValid = false;
}

void TDie::FaceIndexError(int face) const
{
    throw TDiceException(u"\"%1\" has %2 faces.  Index %3 is invalid."_s.arg(Name, QString::number(FFaceCount),
                                                                             QString::number(face)));
}

qint32 TDie::FaceSymbol(int face) const
{
    CheckFace(face);
    return FSymbols[size_t(face)];
}

int TDie::FaceSymbolCount(int face) const
{
    CheckFace(face);
    return FCounts[size_t(face)];
}

void TDie::SetFace(int face, qint32 symbol, int count)
{
    CheckFace(face);
    FSymbols[size_t(face)] = symbol;
    FCounts[size_t(face)] = quint16(count);
    FStatsValid = false;
}

QString TDie::FaceText(int face) const
{
    CheckFace(face);
    return TIconTable::FaceText(FRace->Catalogue().GetIcon(FSymbols[size_t(face)]), FCounts[size_t(face)]);
}

const TDieStats &TDie::Statistics() const
{
    if (!FStatsValid || !FStats) {
        const TCatalogue &catalogue = FRace->Catalogue();
        if (!FStats)
            FStats = std::make_unique<TDieStats>();
        DieStatistics(*this, catalogue.Icons(), catalogue.Rules, *FStats);
        FStatsValid = true;
    }
    return *FStats;
}

double TDie::Sum(ResultType result, Land land) const
{
    return Statistics().Sum[size_t(result)][size_t(land)];
}

double TDie::SumSq(ResultType result, Land land) const
{
    return Statistics().SumSq[size_t(result)][size_t(land)];
}

double TDie::Fraction(EffectFlag flag) const
{
    return Statistics().FractionOf(flag);
}

bool TDie::MagicUser() const
{
    return Statistics().MagicUser;
}

double TDie::Mean(ResultType result, Land land, bool perHealth) const
{
    if (FFaceCount == 0)
        return 0.0;
    const double mean = Sum(result, land) / FFaceCount;
    // A die of health 0 cannot be shown per point of health; it shows its plain values.
    return perHealth && FHealth > 0 ? mean / FHealth : mean;
}

double TDie::Spread(ResultType result, Land land, bool perHealth) const
{
    if (FFaceCount == 0)
        return 0.0;
    const double mean = Sum(result, land) / FFaceCount;
    // Rounding can take the variance of a constant die a hair below zero.
    const double spread = std::sqrt(std::max(0.0, SumSq(result, land) / FFaceCount - mean * mean));
    return perHealth && FHealth > 0 ? spread / FHealth : spread;
}

QString TDie::ResultText(ResultType result, Land land, bool perHealth) const
{
    return FormatResult(Mean(result, land, perHealth), Spread(result, land, perHealth));
}

// ---------------------------------------------------------------------------------
// TRace

TRace::TRace(TCatalogue &catalogue, qint32 id, QString name)
    : TInventoryData(std::move(name)), ID(id), FCatalogue(&catalogue)
{
}

TRace::~TRace()
{
    while (!FDice.empty())
        FDice.pop_back();
}

int TRace::AddDie(std::unique_ptr<TDie> die)
{
    // Other files know dice by these IDs; a damaged race file whose counter lags behind
    // its dice must not make a new die share one.
    qint64 next = NextDieID;
    for (const auto &held : FDice)
        next = std::max(next, qint64(held->ID()) + 1);
    if (next >= std::numeric_limits<qint32>::max())
        throw TDiceException(u"No die ID is left in %1."_s.arg(Name));
    die->AssignID(qint32(next));
    NextDieID = qint32(next + 1);
    FDice.push_back(std::move(die));
    return int(FDice.size());
}

void TRace::AppendDie(std::unique_ptr<TDie> die)
{
    FDice.push_back(std::move(die));
}

void TRace::RemoveDie(const TDie *die)
{
    for (auto it = FDice.begin(); it != FDice.end(); ++it) {
        if (it->get() == die) {
            FDice.erase(it);
            return;
        }
    }
}

void TRace::ReorderDice(const std::vector<TDie *> &order)
{
    // Checked whole before anything moves, so that a bad order loses no die.
    std::vector<TDie *> held;
    for (const auto &die : FDice)
        held.push_back(die.get());
    std::vector<TDie *> sortedOrder = order;
    std::sort(held.begin(), held.end());
    std::sort(sortedOrder.begin(), sortedOrder.end());
    if (held != sortedOrder)
        throw TDiceException(u"The new order of the dice of \"%1\" does not hold every die once."_s.arg(Name));

    std::vector<std::unique_ptr<TDie>> reordered;
    for (TDie *die : order) {
        auto found = std::find_if(FDice.begin(), FDice.end(), [die](const auto &slot) { return slot.get() == die; });
        reordered.push_back(std::move(*found));
    }
    FDice = std::move(reordered);
}

TDie *TRace::Die(int position) const
{
    if (position < 1 || position > DieCount())
        return nullptr;
    return FDice[size_t(position - 1)].get();
}

TDie *TRace::DieByID(qint32 id) const
{
    for (const auto &die : FDice) {
        if (die->ID() == id)
            return die.get();
    }
    return nullptr;
}

TDie *TRace::FirstDie(int &cursor) const
{
    cursor = 0;
    return NextDie(cursor);
}

TDie *TRace::NextDie(int &cursor) const
{
    if (cursor < 0 || cursor >= DieCount())
        return nullptr;
    return FDice[size_t(cursor++)].get();
}

void TRace::Regenerate()
{
    for (const auto &die : FDice) {
        die->InvalidateStatistics();
        die->Statistics();
    }
}

void TRace::ResetBreakdown()
{
    FBreakdown.fill(0);
    FBreakdownTotal = 0;
}

void TRace::CountBreakdown(int health)
{
    if (health >= 1 && health <= int(FBreakdown.size()))
        ++FBreakdown[size_t(health - 1)];
    FBreakdownTotal += health;
}

int TRace::BreakdownCount(int health) const
{
    if (health < 1 || health > int(FBreakdown.size()))
        return 0;
    return FBreakdown[size_t(health - 1)];
}
