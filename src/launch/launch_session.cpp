#include "launch/launch_session.h"

#include "launch/composer.h"

namespace tarnwick {

LaunchSession::LaunchSession(QObject* parent) : QObject(parent) {}

void LaunchSession::MainProc()
{
    if (Rst) return;
    setCommandText(composeCommandLine(m_profile));
    changedNow();
}

void LaunchSession::changedNow()
{
    if (m_batches > 0)
        m_changedHeld = true;
    else
        emit changed();
}

void LaunchSession::setCommandText(const QString& text)
{
    QString line = text;
    line.replace(QLatin1StringView("\r\n"), QLatin1StringView(" "));
    if (line == m_command) return;
    m_command = line;
    emit commandTextChanged(m_command);
}

} // namespace tarnwick
