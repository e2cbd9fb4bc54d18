#pragma once

// Modal dialogs and popup menus in a test: act on the next one from inside its
// own event loop, and never hang on one left open.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QMenu>
#include <QTimer>
#include <functional>

namespace lumo_test {

inline QWidget* ActiveModal() {
    QWidget* popup = QApplication::activePopupWidget();
    return popup != nullptr ? popup : QApplication::activeModalWidget();
}

// Calls act on the next modal widget or popup of type T to open. The timer is
// the application's, so a watcher whose dialog never came goes with it.
template <class T = QWidget>
void WhenModal(std::function<void(QWidget*)> act) {
    auto* timer = new QTimer(qApp);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        QWidget* w = ActiveModal();
        if (dynamic_cast<T*>(w) != nullptr && w->isVisible()) {
            timer->stop();
            timer->deleteLater();
            act(w);
        }
    });
    timer->start(5);
}

// Fails the test and closes whatever modal is still open after a while.
class Watchdog {
public:
    explicit Watchdog(int ms = 10000) {
        m_timer.setSingleShot(true);
        QObject::connect(&m_timer, &QTimer::timeout, [] {
            ADD_FAILURE() << "a modal dialog or menu was left open";
            for (int i = 0; i < 10 && ActiveModal() != nullptr; ++i) {
                if (auto* dialog = qobject_cast<QDialog*>(ActiveModal())) {
                    dialog->reject();
                } else {
                    ActiveModal()->close();
                }
            }
        });
        m_timer.start(ms);
    }

private:
    QTimer m_timer;
};

}  // namespace lumo_test
