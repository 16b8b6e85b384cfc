#include "editors/ini/ini_store.h"

#include "base/text_encoding.h"
#include "platform/message_box.h"
#include "base/file_writer.h"
#include "base/paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace tarnwick {

IniStore::IniStore(MessageBox& messages) : m_messages(messages) {}

void IniStore::OpenFile::setValue(const QString& section, const QString& key, const QString& value)
{
    const filetext::Encoding encoding = document.encoding();
    document.setValue(filetext::encode(section, encoding), filetext::encode(key, encoding),
                      filetext::encode(value, encoding));
}

IniStore::OpenFile IniStore::load(const QString& path)
{
    OpenFile file;
    file.path = path;
    if (path.isEmpty()) {
        file.unreadable = QStringLiteral("no file name was given");
        return file;
    }
    const QString native = paths::toNative(path);
    const QFileInfo info(native);
    if (!info.exists()) return file; // a new file: every key is missing, writing creates it
    if (info.isDir()) {
        file.unreadable = QStringLiteral("a folder of that name is in the way");
        return file;
    }
    if (info.size() > kMaximumSize) {
        file.unreadable = QStringLiteral("the file is too large to be a configuration file");
        return file;
    }
    QFile device(native);
    if (!device.open(QIODevice::ReadOnly)) {
        file.unreadable = device.errorString();
        return file;
    }
    file.document.read(device);
    if (device.error() != QFileDevice::NoError) {
        file.unreadable = device.errorString();
        file.document.setBytes({});
    }
    return file;
}

void IniStore::reportFailure(const QString& path, const QString& reason)
{
    m_messages.show(QStringLiteral("Cannot save the configuration file '%1': %2.  The file has been "
                                   "left as it was.")
                        .arg(QDir::toNativeSeparators(paths::toNative(path)), reason),
                    QStringLiteral("Configuration File Error"), MessageBox::Buttons::Ok,
                    MessageBox::Icon::Exclamation);
}

bool IniStore::save(OpenFile& file)
{
    if (!file.document.isModified()) return true;
    const QString native = paths::toNative(file.path);
    const QFileInfo info(native);
    if (info.isDir()) {
        reportFailure(file.path, QStringLiteral("a folder of that name is in the way"));
        return false;
    }
    // Writing a file that could not be read would throw away everything else in it.
    if (!file.unreadable.isEmpty()) {
        reportFailure(file.path, QStringLiteral("it could not be read (%1)").arg(file.unreadable));
        return false;
    }
    const FileWriteResult written = writeFileContents(native, file.document.bytes());
    if (!written.ok()) {
        reportFailure(file.path, written.reason);
        return false;
    }
    file.document.setModified(false);
    return true;
}

IniStore::OpenFile* IniStore::batchFor(const QString& path)
{
    return (m_batch && m_batch->path == path) ? &*m_batch : nullptr;
}

QString IniStore::ReadKey(const QString& section, const QString& key, const QString& path)
{
    std::optional<OpenFile> single;
    OpenFile* file = batchFor(path);
    if (!file) file = &single.emplace(load(path));
    if (!file->unreadable.isEmpty()) return NotFound;
    const filetext::Encoding encoding = file->document.encoding();
    const auto value = file->document.value(filetext::encode(section, encoding), filetext::encode(key, encoding));
    return value ? filetext::decode(*value, encoding) : NotFound;
}

bool IniStore::WriteKey(const QString& value, const QString& section, const QString& key,
                        const QString& path)
{
    if (OpenFile* file = batchFor(path)) {
        file->setValue(section, key, value);
        return true;
    }
    OpenFile file = load(path);
    file.setValue(section, key, value);
    return save(file);
}

void IniStore::beginBatch(const QString& path)
{
    m_batch.emplace(load(path));
}

bool IniStore::endBatch()
{
    if (!m_batch) return true;
    const bool saved = save(*m_batch);
    m_batch.reset();
    return saved;
}

} // namespace tarnwick
