#include "pages/secondary/gameplay_flags_dialog.h"

#include "launch/launch_session.h"
#include "pages/secondary/gameplay_flags.h"
#include "base/qt_view_sync.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace tarnwick {

GameplayFlagsDialog::GameplayFlagsDialog(LaunchSession& session, GameplayFlagsController& controller,
                                         QWidget* parent)
    : QDialog(parent), m_session(session), m_controller(controller)
{
    setWindowTitle(QStringLiteral("Gameplay Options"));
    auto* layout = new QVBoxLayout(this);
    m_add = new QCheckBox(QStringLiteral("&Add to command line"), this);
    layout->addWidget(m_add);
    auto* totals = new QHBoxLayout;
    m_flags = new QLabel(this);
    m_flags2 = new QLabel(this);
    totals->addWidget(m_flags);
    totals->addStretch(1);
    totals->addWidget(m_flags2);
    layout->addLayout(totals);

    m_boxes.resize(static_cast<qsizetype>(kFlagEntries.size()));
    auto frame = [this](const QString& caption, const auto& order) {
        auto* group = new QGroupBox(caption, this);
        auto* box = new QVBoxLayout(group);
        for (int index : order) {
            auto* check = new QCheckBox(QString::fromLatin1(kFlagEntries[index].caption), group);
            box->addWidget(check);
            m_boxes[index] = check;
            connect(check, &QCheckBox::stateChanged, this,
                    [this, index](int s) { m_controller.setFlagBox(index, view::checkValue(s)); });
        }
        box->addStretch(1);
        return group;
    };
    auto* frames = new QHBoxLayout;
    frames->addWidget(frame(QStringLiteral("All game types"), kAllGameTypesOrder));
    frames->addWidget(frame(QStringLiteral("Deathmatch only"), kDeathmatchOrder));
    layout->addLayout(frames);

    auto* buttons = new QHBoxLayout;
    auto* close = new QPushButton(QStringLiteral("&Close"), this);
    close->setDefault(true);
    auto* reset = new QPushButton(QStringLiteral("Reset to &0"), this);
    buttons->addWidget(close);
    buttons->addStretch(1);
    buttons->addWidget(reset);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(m_add, &QCheckBox::stateChanged, this,
            [this](int s) { m_controller.setAddToCommandLine(view::checkValue(s)); });
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    connect(reset, &QPushButton::clicked, this, [this] { m_controller.RT0_Click(); });
    connect(&m_session, &LaunchSession::changed, this, &GameplayFlagsDialog::redraw);
    redraw();
}

// "&Close", Esc and the title-bar close all keep the choices and recompose.
void GameplayFlagsDialog::done(int result)
{
    m_controller.close();
    QDialog::done(result);
}

void GameplayFlagsDialog::redraw()
{
    const LaunchProfile& p = m_session.profile();
    view::setChecked(m_add, p.chkDMFLAGS);
    for (int i = 0; i < m_boxes.size(); ++i) view::setChecked(m_boxes[i], p.DF[i]);
    m_flags->setText(m_controller.dmflagsLabel());
    m_flags2->setText(m_controller.dmflags2Label());
}

} // namespace tarnwick
