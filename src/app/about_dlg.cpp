#include "app/about_dlg.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/app_icon.h"

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("About Lumo"));

    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("icon"));
    icon->setPixmap(LumoAppIcon().pixmap(QSize(32, 32)));
    icon->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    auto* version = new QLabel(QStringLiteral("Lumo Version 1.0"), this);
    version->setObjectName(QStringLiteral("version"));
    auto* title = new QLabel(QStringLiteral("Syntax Graph Parser Generator"), this);
    title->setObjectName(QStringLiteral("title"));

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("ok"));
    ok->setAutoDefault(true);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* texts = new QVBoxLayout;
    texts->addWidget(version);
    texts->addWidget(title);
    texts->addStretch();
    auto* grid = new QGridLayout(this);
    grid->setHorizontalSpacing(16);
    grid->addWidget(icon, 0, 0);
    grid->addLayout(texts, 0, 1);
    grid->addWidget(ok, 1, 0, 1, 2, Qt::AlignRight);
    grid->setSizeConstraint(QLayout::SetFixedSize);
    ok->setFocus();
}
