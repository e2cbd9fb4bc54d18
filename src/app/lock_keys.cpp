#include "app/lock_keys.h"

#include <QGuiApplication>
#include <QLabel>

#include <X11/XKBlib.h>

namespace {

Display* X11Display() {
    if (auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>()) {
        return x11->display();
    }
    return nullptr;
}

}  // namespace

CLockKeys::CLockKeys(QLabel* caps, QLabel* num, QLabel* scroll)
    : m_caps(caps), m_num(num), m_scroll(scroll) {
    for (QLabel* pane : {m_caps, m_num, m_scroll}) {
        // Room for the text whether it shows or not, so the bar never jumps.
        pane->setMinimumWidth(pane->fontMetrics().horizontalAdvance(pane->text()) + 8);
        pane->setAlignment(Qt::AlignCenter);
        pane->setProperty("lockText", pane->text());
        pane->clear();
    }
    if (Available()) {
        // The server sends no event of ours when a light changes: look.
        connect(&m_timer, &QTimer::timeout, this, &CLockKeys::Update);
        m_timer.start(300);
        Update();
    }
}

bool CLockKeys::Available() {
    return X11Display() != nullptr;
}

void CLockKeys::Update() {
    Display* display = X11Display();
    unsigned int state = 0;
    if (display == nullptr || XkbGetIndicatorState(display, XkbUseCoreKbd, &state) != Success) {
        return;
    }
    const std::pair<QLabel*, unsigned> panes[] = {{m_caps, 1u}, {m_num, 2u}, {m_scroll, 4u}};
    for (const auto& [pane, bit] : panes) {
        pane->setText((state & bit) != 0 ? pane->property("lockText").toString() : QString());
    }
}
