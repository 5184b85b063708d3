#pragma once

#include <QObject>

class Clipboard;
class Clock;
class KeyEditor;
class QLabel;

// "Date", "Time" and "Date and Time" of the main menu: the text goes on the clipboard for the user to
// paste elsewhere, and the editor shows what was copied. "Save" is disabled meanwhile, so that the
// message cannot be saved into the key.
class DateCommands : public QObject {
    Q_OBJECT
public:
    struct Controls {
        KeyEditor* Text2;
        QLabel* Label6; // "Save"
    };

    DateCommands(Controls controls, Clipboard& clipboard, const Clock& clock, QObject* parent = nullptr);

    void Data1_Click();
    void Ora_Click();
    void Data2_Click();

private:
    void copy(const QString& text, const QString& shown, const QString& message);

    Controls m_ui;
    Clipboard& m_clipboard;
    const Clock& m_clock;
};
