#pragma once

#include <QObject>

class Clock;
class QLabel;
class QListWidget;
class QTimer;
class QWidget;

// The running clock in the title label and the key counter, both set once a second by OraAggiorna for
// the whole run, in the tray too. The tick also takes back the dated caption that "-" gives the window
// for the task bar, once the window is normal again.
class TitleClock : public QObject {
    Q_OBJECT
public:
    struct Controls {
        QWidget* Form1;
        QLabel* Label1;  // title
        QLabel* Label12; // key counter
        QListWidget* List1;
        QTimer* OraAggiorna;
    };

    TitleClock(Controls controls, const Clock& clock, QObject* parent = nullptr);

    void OraAggiorna_Timer();

private:
    Controls m_ui;
    const Clock& m_clock;
};
