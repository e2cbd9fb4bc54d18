#pragma once

// Driving modal dialogs and popup menus from a test: act on the next one
// that opens, from inside its own event loop, and never hang if one is left
// open.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QMenu>
#include <QTimer>
#include <functional>

namespace lumo_test {

inline QWidget* ActiveModal() {
    if (QWidget* popup = QApplication::activePopupWidget()) {
        return popup;
    }
    return QApplication::activeModalWidget();
}

// Calls act on the next modal widget or popup of type T to open (any widget
// by default), from inside its event loop.
template <class T = QWidget>
void WhenModal(std::function<void(QWidget*)> act) {
    // Owned by the application, so a watcher whose dialog never came is
    // cleaned up with it.
    auto* timer = new QTimer(qApp);
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        QWidget* w = ActiveModal();
        if (w == nullptr || dynamic_cast<T*>(w) == nullptr || !w->isVisible()) {
            return;
        }
        timer->stop();
        timer->deleteLater();
        act(w);
    });
    timer->start();
}

// Fails the test and closes whatever modal is still open after a while, so a
// dialog nobody answers cannot hang the run.
class Watchdog {
public:
    explicit Watchdog(int ms = 10000) {
        m_timer.setSingleShot(true);
        QObject::connect(&m_timer, &QTimer::timeout, [] {
            ADD_FAILURE() << "a modal dialog or menu was left open";
            for (int i = 0; i < 10; ++i) {
                QWidget* w = ActiveModal();
                if (w == nullptr) {
                    break;
                }
                if (auto* dialog = qobject_cast<QDialog*>(w)) {
                    dialog->reject();
                } else {
                    w->close();
                }
            }
        });
        m_timer.start(ms);
    }

private:
    QTimer m_timer;
};

}  // namespace lumo_test
