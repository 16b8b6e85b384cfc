#pragma once

#include "settings/settings_store.h"

#include <QTemporaryDir>

namespace tarnwick::test {

// A settings database of its own in a fresh temporary folder, removed afterwards.
struct TempStore
{
    QTemporaryDir dir;
    SettingsStore store;

    TempStore() { store.open(dir.filePath(QStringLiteral("settings.db"))); }
    QString path(const QString& name) const { return dir.filePath(name); }
};

} // namespace tarnwick::test
