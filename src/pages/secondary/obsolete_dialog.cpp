#include "pages/secondary/obsolete_dialog.h"

#include "launch/launch_session.h"
#include "pages/secondary/secondary_controllers.h"
#include "settings/history.h"
#include "base/qt_view_sync.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace tarnwick {

ObsoleteDialog::ObsoleteDialog(LaunchSession& session, ObsoleteController& controller, Histories& histories,
                               QWidget* parent)
    : QDialog(parent), m_session(session), m_controller(controller), m_histories(histories)
{
    setWindowTitle(QStringLiteral("Obsolete Options"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Use these options if you are using an old version of ZDoom."), this));

    auto combo = [this](History list, const QString& tip) {
        auto* box = view::historyCombo(this, tip, 20);
        view::lazyRows(box, [this, list] { return m_histories.shown(list); });
        return box;
    };
    auto* grid = new QGridLayout;
    m_net = combo(History::Net, QStringLiteral("Play a network game the 'old' way"));
    auto* netLabel = new QLabel(QStringLiteral("-&NET"), this);
    netLabel->setBuddy(m_net);
    netLabel->setToolTip(m_net->toolTip());
    grid->addWidget(netLabel, 0, 0);
    grid->addWidget(m_net, 0, 1, 1, 2);
    m_heapSize = new QLineEdit(this);
    m_heapSize->setMaximumWidth(80);
    auto* heapLabel = new QLabel(QStringLiteral("Heapsize in M&B (-HEAPSIZE):"), this);
    heapLabel->setBuddy(m_heapSize);
    grid->addWidget(heapLabel, 1, 0);
    grid->addWidget(m_heapSize, 1, 1, 1, 2, Qt::AlignLeft);
    m_transFile = combo(History::TransFile, QString());
    auto* transLabel = new QLabel(QStringLiteral("&Translucency cache file (-TRANSFILE):"), this);
    transLabel->setBuddy(m_transFile);
    auto* browse = new QPushButton(QStringLiteral("&..."), this);
    grid->addWidget(transLabel, 2, 0);
    grid->addWidget(m_transFile, 2, 1);
    grid->addWidget(browse, 2, 2);
    grid->setColumnStretch(1, 1);
    layout->addLayout(grid);

    m_primarySound = new QCheckBox(QStringLiteral("&Primary sound (-PRIMARYSOUND)"), this);
    m_primarySound->setToolTip(QStringLiteral("Use the primary buffer for mixing DirectSound"));
    m_wavonly = new QCheckBox(QStringLiteral("Wav &only (-WAVONLY)"), this);
    m_wavonly->setToolTip(QStringLiteral("Do not use DirectSound"));
    m_nommx = new QCheckBox(QStringLiteral("Do not use MM&X code (not applicable yet) (-NOMMX)"), this);
    m_notrans = new QCheckBox(QStringLiteral("&Disable translucency (-NOTRANS)"), this);
    for (QCheckBox* c : {m_primarySound, m_wavonly, m_nommx, m_notrans}) layout->addWidget(c);

    auto* buttons = new QHBoxLayout;
    auto* close = new QPushButton(QStringLiteral("&Close"), this);
    close->setDefault(true);
    buttons->addStretch(1);
    buttons->addWidget(close);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    auto& c = m_controller;
    connect(m_net, &QComboBox::editTextChanged, this, [&c](const QString& t) { c.setNet(t); });
    connect(m_transFile, &QComboBox::editTextChanged, this, [&c](const QString& t) { c.setTransFile(t); });
    connect(m_heapSize, &QLineEdit::textEdited, this, [&c](const QString& t) { c.setHeapSize(t); });
    connect(m_primarySound, &QCheckBox::stateChanged, this, [&c](int s) { c.setPrimarySound(view::checkValue(s)); });
    connect(m_wavonly, &QCheckBox::stateChanged, this, [&c](int s) { c.setWavonly(view::checkValue(s)); });
    connect(m_nommx, &QCheckBox::stateChanged, this, [&c](int s) { c.setNommx(view::checkValue(s)); });
    connect(m_notrans, &QCheckBox::stateChanged, this, [&c](int s) { c.setNotrans(view::checkValue(s)); });
    connect(browse, &QPushButton::clicked, this, [&c] { c.browseTransFile(); });
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    connect(&m_session, &LaunchSession::changed, this, &ObsoleteDialog::redraw);
    connect(&m_histories, &Histories::changed, this, &ObsoleteDialog::redraw);
    redraw();
}

// Every way of closing hides the window and brings its edits into the command line.
void ObsoleteDialog::done(int result)
{
    m_controller.close();
    QDialog::done(result);
}

void ObsoleteDialog::redraw()
{
    const LaunchProfile& p = m_session.profile();
    view::setHistory(m_net, p.txtNET);
    view::setHistory(m_transFile, p.txtTransFile);
    view::setText(m_heapSize, p.txtHeapSize);
    view::setChecked(m_primarySound, p.chkPrimarySound);
    view::setChecked(m_wavonly, p.chkWavonly);
    view::setChecked(m_nommx, p.chkNOMMX);
    view::setChecked(m_notrans, p.chkNOTRANS);
}

} // namespace tarnwick
