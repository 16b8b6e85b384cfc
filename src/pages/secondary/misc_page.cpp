#include "pages/secondary/misc_page.h"

#include "launch/launch_session.h"
#include "pages/secondary/secondary_controllers.h"
#include "settings/history.h"
#include "base/qt_view_sync.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace tarnwick {

MiscPage::MiscPage(LaunchSession& session, MiscController& controller, Histories& histories, QWidget* parent)
    : QWidget(parent), m_session(session), m_controller(controller), m_histories(histories)
{
    setWindowTitle(QStringLiteral("4: Miscellaneous Options"));
    auto* layout = new QVBoxLayout(this);
    auto* frame = new QGroupBox(QStringLiteral("Miscellaneous Options"), this);
    auto* box = new QVBoxLayout(frame);
    box->setSpacing(2);
    for (int i = 0; i < static_cast<int>(MiscController::kSwitches.size()); ++i) {
        auto* check = new QCheckBox(QString::fromLatin1(MiscController::kSwitches[i].caption), frame);
        box->addWidget(check);
        m_switches.append(check);
        connect(check, &QCheckBox::stateChanged, this,
                [this, i](int s) { m_controller.setSwitch(i, view::checkValue(s)); });
    }
    auto* extraRow = new QHBoxLayout;
    auto* extraLabel = new QLabel(QStringLiteral("&Extra commands:"), frame);
    m_extra = view::historyCombo(frame, QString(), 12);
    view::lazyRows(m_extra, [this] { return m_histories.shown(History::EC); });
    m_extra->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    extraLabel->setBuddy(m_extra);
    extraRow->addWidget(extraLabel);
    extraRow->addWidget(m_extra, 1);
    box->addLayout(extraRow);
    layout->addWidget(frame);

    view::addPageButtons(this, extraRow, [this] { m_controller.reset(); }, [this] { emit hideRequested(); });

    connect(m_extra, &QComboBox::editTextChanged, this,
            [this](const QString& t) { m_controller.setExtraCommands(t); });
    connect(&m_session, &LaunchSession::changed, this, &MiscPage::redraw);
    connect(&m_histories, &Histories::changed, this, &MiscPage::redraw);
    view::compactFrames(this);
    redraw();
}

void MiscPage::redraw()
{
    const LaunchProfile& p = m_session.profile();
    for (int i = 0; i < m_switches.size(); ++i)
        view::setChecked(m_switches[i], p.*(MiscController::kSwitches[i].field));
    view::setHistory(m_extra, p.txtEC);
}

} // namespace tarnwick
