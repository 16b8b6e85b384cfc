#pragma once

// Shared by the fuzz targets: a broken promise of the code under test ends the run with
// a message, so libFuzzer keeps the input that broke it.

#include <QBuffer>
#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace tarnwick::fuzz {

inline void check(bool holds, const char* promise, const QByteArray& detail = {})
{
    if (holds) return;
    std::fprintf(stderr, "broken: %s\n%s\n", promise, detail.constData());
    std::abort();
}

// The fuzzer's bytes as a file opened for reading.
struct Input
{
    QByteArray bytes;
    QBuffer device{&bytes};

    Input(const uint8_t* data, size_t size) : bytes(reinterpret_cast<const char*>(data), qsizetype(size))
    {
        device.open(QIODevice::ReadOnly);
    }
};

// A folder for the targets that go through files: in memory where the system offers it,
// so that saving a file many thousand times a second costs no disk.
inline QString scratchFolder(const char* name)
{
    const QString base = QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm") : QDir::tempPath();
    const QString path = QStringLiteral("%1/tarnwick-fuzz-%2-%3").arg(base, QLatin1String(name)).arg(QCoreApplication::applicationPid());
    QDir().mkpath(path);
    return path;
}

} // namespace tarnwick::fuzz
