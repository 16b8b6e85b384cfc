// The settings file on any bytes: what reading accepts, written and read again, gives the
// same keys and values in the same order; what it refuses comes with a reason. The same
// through the store: an imported file exports, and the export imports again.

#include "fuzz_check.h"

#include "settings/settings_file.h"
#include "settings/settings_store.h"

#include <QBuffer>
#include <QFile>

#include <cstddef>
#include <cstdint>

using namespace tarnwick;

namespace {

QByteArray listed(const SettingsEntries& entries)
{
    QByteArray text;
    for (const auto& [name, value] : entries) text += name.toUtf8() + "=" + value.toUtf8().toHex(' ') + "\n";
    return text.left(2000);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::Input input(data, size);
    const QByteArray& bytes = input.bytes;
    SettingsEntries first;
    QString error;
    if (!readSettingsFile(input.device, first, &error)) {
        fuzz::check(!error.isEmpty() && first.isEmpty(), "a refused file says why and gives nothing");
        return 0;
    }

    QByteArray written;
    QBuffer out(&written);
    out.open(QIODevice::WriteOnly);
    fuzz::check(writeSettingsFile(out, first, &error), "every value read can be written", error.toUtf8());
    out.close();

    QBuffer in(&written);
    in.open(QIODevice::ReadOnly);
    SettingsEntries second;
    fuzz::check(readSettingsFile(in, second, &error), "a written file reads again", error.toUtf8());
    fuzz::check(second == first, "a written file gives the same keys and values", listed(first) + "\n" + listed(second));

    // Through the store: the import's values are what an export writes and a new import reads.
    static const QString folder = fuzz::scratchFolder("settings");
    const QString imported = folder + QStringLiteral("/in.twk");
    const QString exported = folder + QStringLiteral("/out.twk");
    {
        QFile f(imported);
        fuzz::check(f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size(), "the file is written");
    }
    // Two stores in memory, opened once and emptied for each input.
    static SettingsStore store;
    static SettingsStore again;
    static const bool opened = (store.openInMemory(), again.openInMemory(), true);
    fuzz::check(opened, "the stores are open");
    store.deleteSection(SettingsStore::settingsSection());
    again.deleteSection(SettingsStore::settingsSection());
    fuzz::check(importSettingsFile(store, imported, &error), "a file that reads imports", error.toUtf8());
    const SettingsEntries kept = store.entries(SettingsStore::settingsSection());
    fuzz::check(exportSettingsFile(store, exported, &error), "an export never fails", error.toUtf8());
    fuzz::check(importSettingsFile(again, exported, &error), "every export imports again", error.toUtf8());
    fuzz::check(again.entries(SettingsStore::settingsSection()) == kept, "an export imports to the same values",
                listed(kept) + "\n" + listed(again.entries(SettingsStore::settingsSection())));
    return 0;
}
