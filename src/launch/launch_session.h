#pragma once

#include "launch/launch_profile.h"

#include <QObject>

#include <utility>

namespace tarnwick {

// Owns the profile, the composition hold flag and the command text the main window shows.
// Controllers change the profile and end with MainProc() where a change should reach the
// command line; views redraw on changed().
class LaunchSession final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(LaunchSession)

public:
    explicit LaunchSession(QObject* parent = nullptr);

    LaunchProfile& profile() { return m_profile; }
    const LaunchProfile& profile() const { return m_profile; }

    // While set, MainProc() does nothing and the command text keeps whatever it holds.
    bool Rst = false;

    // Recomposes the command text from the profile unless Rst is set.
    void MainProc();

    QString commandText() const { return m_command; }
    // The command box's text, as composed or as the player edits it. The box holds one
    // line: each CR LF pair becomes one blank.
    void setCommandText(const QString& text);

    // Tells the views that the profile changed without a composition.
    void notify() { changedNow(); }

    // Views draw the whole profile on changed(), so a run of changes needs one drawing:
    // while a Batch lives, changed() waits, and it is sent once when the outermost Batch
    // ends, if anything changed. The model and the command text are never held back.
    class Batch
    {
        Q_DISABLE_COPY_MOVE(Batch)
        LaunchSession& m_s;

    public:
        explicit Batch(LaunchSession& s) : m_s(s) { ++m_s.m_batches; }
        ~Batch()
        {
            if (--m_s.m_batches == 0 && std::exchange(m_s.m_changedHeld, false)) emit m_s.changed();
        }
    };

signals:
    void changed();
    void commandTextChanged(const QString& text);

private:
    void changedNow();

    LaunchProfile m_profile;
    int m_batches = 0;
    bool m_changedHeld = false;
    QString m_command;
};

} // namespace tarnwick
