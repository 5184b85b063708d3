#pragma once

// The main window on a throw-away store with the fake platform: the setting of every test that drives
// the window as a user does.

#include "app/MainWindow.h"
#include "platform/fake/FakePlatform.h"
#include "store/KeyEditor.h"
#include "store/KeyListBinding.h"

#include "TestStore.h"

#include <QComboBox>
#include <QListWidget>
#include <QTest>

#include <initializer_list>
#include <memory>

class StoreWindow {
public:
    TestStore store;
    FakePlatform fake;
    std::unique_ptr<MainWindow> window;

    // Opens the window on the store as laid out so far, and forgets the boxes of the start-up.
    MainWindow& open() {
        window = std::make_unique<MainWindow>(fake.platform(), StorePaths(store.appFolder()));
        fake.dialogs->boxes.clear();
        fake.dialogs->inputBoxes.clear();
        return *window;
    }

    // What the user will type into the next input boxes, and answer to the next message boxes.
    void type(std::initializer_list<QString> texts) const {
        for (const QString& text : texts)
            fake.dialogs->inputs.enqueue(text);
    }
    void answer(std::initializer_list<int> answers) const {
        for (const int a : answers)
            fake.dialogs->answers.enqueue(a);
    }

    void click(QWidget* label) const { QTest::mouseClick(label, Qt::LeftButton); }

    QStringList keys() const {
        QStringList names;
        for (int i = 0; i < window->List1->count(); ++i)
            names.append(window->List1->item(i)->text());
        return names;
    }
    QStringList categories() const {
        QStringList names;
        for (int i = 0; i < window->Combo1->count(); ++i)
            names.append(window->Combo1->itemText(i));
        return names;
    }
    QString selectedKey() const { return window->keyList().selectedKey(); }
    QString text() const { return window->Text2->text(); }

    // The last box shown, as "style|text".
    QString lastBox() const {
        const auto& boxes = fake.dialogs->boxes;
        return boxes.isEmpty() ? QString() : QString::number(boxes.last().style) + u'|' + boxes.last().text;
    }
};
