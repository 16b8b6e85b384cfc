#pragma once

#include <QString>
#include <QStringList>

namespace tarnwick {

// Starts a program on its own, never through a shell, and does not wait for it.
// `program` is the file to start (a path); the arguments reach it as they are.
class ProcessLauncher
{
public:
    struct Failure
    {
        QString description; // the system's words for the failure
        int number = 0;      // the system's error number
    };
    // The system's words for error `number`.
    static Failure systemFailure(int number);

    virtual ~ProcessLauncher() = default;

    // Returns true when the program started; otherwise fills `failure`.
    virtual bool startDetached(const QString& program, const QStringList& arguments,
                               const QString& workingFolder, Failure& failure) = 0;
};

// The system's own start: a failure carries the system's error number and words for
// exactly what went wrong ("Exec format error" for a file the system cannot run, not a
// guess from the file's attributes). The started program is no child of this one, so it
// goes on after Tarnwick closes and leaves nothing to wait for.
class SystemProcessLauncher final : public ProcessLauncher
{
public:
    bool startDetached(const QString& program, const QStringList& arguments,
                       const QString& workingFolder, Failure& failure) override;
};

} // namespace tarnwick
