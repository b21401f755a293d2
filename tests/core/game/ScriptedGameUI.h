#pragma once

// The game window's side of the commands, played from a script: each question and
// dialog takes the next answer queued for it, and everything the commands ask, show and
// have redrawn is recorded in order as one line.

#include "KrException.h"
#include "game/GameCommands.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <deque>

using namespace Qt::StringLiterals;

class TScriptedGameUI : public TGameUI
{
public:
    QString UserEmail() const override { return Email; }

    void Show(const QString &text) override
    {
        Events << u"show: "_s + text;
        LastStatus = text;
    }

    TGameAnswer Ask(const QString &question, TGameButtons, TGameAskKind kind) override
    {
        Events << (kind == TGameAskKind::Warning ? u"warn-ask: "_s : u"ask: "_s) + question;
        return Next(Answers, TGameAnswer::Cancel, question);
    }

    void Message(TGameMessage kind, const QString &text) override
    {
        static const char16_t *names[] = {u"information", u"warning", u"error"};
        Events << QString::fromUtf16(names[int(kind)]) + u": "_s + text;
    }

    void ReportError(const TKrException &failure, const QString &context) override
    {
        Events << u"report: "_s + context + u": "_s + failure.Message();
    }

    void BeginBusy() override { ++Busy; }
    void EndBusy() override { --Busy; }

    std::optional<int> ChooseMarch(const QStringList &lines) override
    {
        Events << u"march: "_s + lines.join(u" | "_s);
        return Next(Marches, std::optional<int>(), u"march"_s);
    }

    std::optional<QString> AskReason(const TReasonRequest &request) override
    {
        Events << u"reason: "_s + request.Caption + u" / "_s + request.Prompt + u" / "_s + request.Default;
        Requests.push_back(request);
        return Next(Reasons, std::optional<QString>(), u"reason"_s);
    }

    std::optional<TRollReasonAnswer> AskRollReason(const TReasonRequest &request, const QStringList &targets) override
    {
        Events << u"roll reason: "_s + request.Caption + u" / "_s + request.Prompt + u" / "_s + targets.join(u" | "_s);
        Requests.push_back(request);
        return Next(RollReasons, std::optional<TRollReasonAnswer>(), u"roll reason"_s);
    }

    std::optional<TManeuverChoice> AskManeuver(TTerrainInPlay *preselected) override
    {
        Events << u"maneuver: "_s + (preselected ? preselected->FullName() : u"(none)"_s);
        return Next(Maneuvers, std::optional<TManeuverChoice>(), u"maneuver"_s);
    }

    std::optional<TTerrainInPlay *> AskRout(TTerrainInPlay *preselected) override
    {
        Events << u"rout: "_s + (preselected ? preselected->FullName() : u"(none)"_s);
        return Next(Routs, std::optional<TTerrainInPlay *>(), u"rout"_s);
    }

    std::optional<int> AskTerrainDie(const TTerrainInPlay &place) override
    {
        Events << u"terrain die: "_s + place.FullName();
        return Next(Numbers, std::optional<int>(), u"terrain die"_s);
    }

    std::optional<int> AskNumber(const QString &prompt, int low, int high) override
    {
        Events << u"number: %1 (%2 to %3)"_s.arg(prompt).arg(low).arg(high);
        return Next(Numbers, std::optional<int>(), u"number"_s);
    }

    std::optional<TControlChoice> AskNewController() override
    {
        Events << u"new controller"_s;
        return Next(Controllers, std::optional<TControlChoice>(), u"new controller"_s);
    }

    void Refresh(const TSpellTarget &target) override { Events << u"refresh: "_s + target.FullName(); }
    void RebuildGrids() override { Events << u"rebuild grids"_s; }
    void RebuildArmyGrid() override { Events << u"rebuild army grid"_s; }
    void RefreshStatus() override { Events << u"refresh status"_s; }
    void UpdateMenus() override { Events << u"update menus"_s; }
    void SetStarted() override { Events << u"started"_s; }
    void AfterAction(bool forced) override { Events << (forced ? u"after action forced"_s : u"after action"_s); }
    void SendControlChange() override { Events << u"send control change"_s; }

    // The events recorded since the last call, and a fresh start.
    QStringList Take()
    {
        QStringList taken = Events;
        Events.clear();
        return taken;
    }

    // Only the events of one kind ("show", "ask", ...), without their prefix.
    static QStringList Of(const QStringList &events, const QString &kind)
    {
        QStringList found;
        for (const QString &event : events) {
            if (event.startsWith(kind + u": "_s))
                found << event.mid(kind.size() + 2);
        }
        return found;
    }

    QString Email;
    QStringList Events;
    QString LastStatus;
    int Busy = 0;
    std::deque<TGameAnswer> Answers;
    std::deque<std::optional<int>> Marches;
    std::deque<std::optional<QString>> Reasons;
    std::deque<std::optional<TRollReasonAnswer>> RollReasons;
    std::deque<std::optional<TManeuverChoice>> Maneuvers;
    std::deque<std::optional<TTerrainInPlay *>> Routs;
    std::deque<std::optional<int>> Numbers;
    std::deque<std::optional<TControlChoice>> Controllers;
    std::vector<TReasonRequest> Requests;

private:
    template <typename T>
    T Next(std::deque<T> &queue, T none, const QString &what)
    {
        if (queue.empty()) {
            ADD_FAILURE() << "no answer queued for " << what.toStdString();
            return none;
        }
        T answer = queue.front();
        queue.pop_front();
        return answer;
    }
};
