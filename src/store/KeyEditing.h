#pragma once

#include <QObject>

class Dialogs;
class KeyEditor;
class KeyListBinding;
class QLabel;
class QListWidget;

// The four toolbar commands that change the keys of the current category: Save, Add, Delete and
// Rename. They change files only; the key list binding brings the list and the editor up to date.
class KeyEditing : public QObject {
    Q_OBJECT
public:
    struct Controls {
        QListWidget* List1;
        KeyEditor* Text2;
        QLabel* Label6;
    };

    KeyEditing(KeyListBinding& binding, Controls controls, Dialogs& dialogs, QObject* parent = nullptr);

    void Label6_Click(); // Save
    void Label4_Click(); // Add
    void Label5_Click(); // Delete
    void Label8_Click(); // Rename

private:
    QString keyPath(const QString& key) const;
    // False when the key's file changed or went since the editor loaded it and the user does not want
    // it overwritten.
    bool mayOverwrite(const QString& key);
    void reportFailure(const QString& text);

    KeyListBinding& m_binding;
    Controls m_ui;
    Dialogs& m_dialogs;
};
