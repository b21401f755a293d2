#pragma once

// The inventory window with its trade panel, over a catalogue of two races: Reedfolk
// (race 0: Gull of health 1, price 1; Heron of health 3, price 12) and Stonekin (race 1:
// Pebble). The user is Robin Vale.

#include "MainFixture.h"
#include "controls/FancyGrid.h"
#include "dice/Catalogue.h"
#include "inventory/InventoryForm.h"
#include "inventory/InventoryTreeModel.h"
#include "inventory/TradePanel.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QHeaderView>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeView>

class TTradeWindowTest : public TMainFixture
{
protected:
    TTradeWindowTest()
    {
        TCatalogue catalogue;
        auto reed = catalogue.CreateRace();
        reed->Name = QStringLiteral("Reedfolk");
        for (const auto &[name, health] : {std::pair{QStringLiteral("Gull"), 1}, std::pair{QStringLiteral("Heron"), 3}}) {
            auto die = std::make_unique<TDie>(*reed, name);
            die->SetHealth(health);
            die->SetProfession(Profession::Archer);
            reed->AddDie(std::move(die));
        }
        catalogue.InsertRace(std::move(reed));
        auto stone = catalogue.CreateRace();
        stone->Name = QStringLiteral("Stonekin");
        stone->AddDie(std::make_unique<TDie>(*stone, QStringLiteral("Pebble")));
        catalogue.InsertRace(std::move(stone));
        WriteCatalogue(catalogue);
        Settings.WriteText(QStringLiteral("ArmyDir"), Data.path());
        Settings.WriteText(QStringLiteral("UserStuff"), QStringLiteral("Robin Vale\n4 Hill Road"));
        Settings.WriteText(QStringLiteral("EMAIL"), QStringLiteral("robin@example.org"));
    }

    TfrmInventory &Open()
    {
        if (!Main)
            Start();
        Main->ShowInventory();
        TfrmInventory &form = *Main->InventoryForm();
        Gull().SetPrice(1);
        Heron().SetPrice(12);
        // Shortcuts reach the window that is active, as they do for the user.
        QApplication::setActiveWindow(Main.get());
        form.TreeView().setFocus();
        return form;
    }

    TfrmInventory &Form() const { return *Main->InventoryForm(); }
    TTradePanel &Panel() const { return Form().TradePanel(); }
    TDie &Gull() const { return *Main->Catalogue().FindRaceByID(0)->DieByID(0); }
    TDie &Heron() const { return *Main->Catalogue().FindRaceByID(0)->DieByID(1); }
    TDie &Pebble() const { return *Main->Catalogue().FindRaceByID(1)->DieByID(0); }

    void Select(const TInventoryData &item)
    {
        const auto *model = static_cast<const TInventoryTreeModel *>(Form().TreeView().model());
        Form().TreeView().setCurrentIndex(model->IndexOf(item.TreeNode));
    }

    // A key as the user presses it, in the tree.
    void Press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(&Form().TreeView(), Qt::Key(key), modifiers);
    }

    QAction &FormItem(const QString &name) const
    {
        auto *item = Form().findChild<QAction *>(name);
        EXPECT_NE(item, nullptr) << name.toStdString();
        static QAction missing;
        return item ? *item : missing;
    }

    template <class T> T &Box(const QString &name) const
    {
        T *box = Panel().findChild<T *>(name);
        EXPECT_NE(box, nullptr) << name.toStdString();
        return *box;
    }

    // A trade made through "&Create Trade".
    void CreateTrade(const QString &name)
    {
        Prompts.ExpectInput(QStringLiteral("Enter name of trader:"), name);
        FormItem(QStringLiteral("mnuTradeCreate")).trigger();
    }

    // The grid's cells of a row, left to right.
    QStringList GridRow(int row) const
    {
        QStringList cells;
        for (int c = 1; c <= Panel().Grid().Cols(); ++c)
            cells << Panel().Grid().Column(c)->Cell(row)->Text();
        return cells;
    }

    void Click(QPushButton &button) { QTest::mouseClick(&button, Qt::LeftButton); }
};
