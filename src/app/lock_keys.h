#pragma once

#include <QObject>
#include <QTimer>

class QLabel;

// The CAP, NUM and SCRL panes of the status bar, each showing its text while
// its lock key is on. Qt has no portable way to read the lock keys; under X11
// the keyboard's indicator lights are read, elsewhere the panes stay blank.
class CLockKeys : public QObject {
public:
    CLockKeys(QLabel* caps, QLabel* num, QLabel* scroll);
    // Whether this platform lets the state be read at all.
    static bool Available();

private:
    void Update();

    QLabel* m_caps;
    QLabel* m_num;
    QLabel* m_scroll;
    QTimer m_timer;
};
