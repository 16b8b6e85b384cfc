#pragma once

#include <QString>
#include <QStringList>

namespace tarnwick {

// Starts a program on its own, never through a shell, and does not wait for it.
class ProcessLauncher
{
public:
    struct Failure
    {
        QString description; // the system's words for the failure
        int number = 0;      // the system's error number
    };

    virtual ~ProcessLauncher() = default;

    // Returns true when the program started; otherwise fills `failure`.
    virtual bool startDetached(const QString& program, const QStringList& arguments,
                               const QString& workingFolder, Failure& failure) = 0;
};

} // namespace tarnwick
