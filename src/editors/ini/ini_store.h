#pragma once

#include "editors/ini/ini_document.h"

#include <QString>

#include <optional>

namespace tarnwick {

class MessageBox;

// Reads and writes single keys of the port's configuration file. Values are read and
// written in the file's own encoding (UTF-8 or Windows-1252, see filetext); a new file is
// written in UTF-8.
//
// Every write goes through writeFileContents: the file is replaced atomically, or
// written in place where replacing it would cost its links, owner or group or where its
// folder is read-only. When the file cannot be written the store shows one message
// naming the file and the system's reason, and leaves the file as it was.
//
// Many keys of one file are read or written in a batch: between beginBatch() and
// endBatch() the file is read once, every ReadKey and WriteKey on that path works on the
// copy in memory, and endBatch() writes it once, only when something changed.
class IniStore
{
public:
    static inline const QString NotFound = QStringLiteral("[NOT FOUND]");

    explicit IniStore(MessageBox& messages);

    // The value of `key` in `section` of the file, or exactly NotFound when the file, the
    // section or the key does not exist (or the file cannot be read).
    QString ReadKey(const QString& section, const QString& key, const QString& path);

    // Gives `key` the value, creating the section and the file when missing. Outside a
    // batch the file is written at once; false when that failed (the message has been
    // shown). Inside a batch the result of the write comes from endBatch().
    bool WriteKey(const QString& value, const QString& section, const QString& key, const QString& path);

    void beginBatch(const QString& path);
    // Writes the batch's file when a WriteKey changed it. False when that failed.
    bool endBatch();

    // Files larger than this are not configuration files; they are neither read nor
    // rewritten.
    static constexpr qint64 kMaximumSize = 64 * 1024 * 1024;

private:
    struct OpenFile
    {
        QString path;
        IniDocument document;
        // Why the file cannot be read, empty when it was read or does not exist yet.
        QString unreadable;

        // Stores the value in the file's own encoding.
        void setValue(const QString& section, const QString& key, const QString& value);
    };

    static OpenFile load(const QString& path);
    bool save(OpenFile& file);
    OpenFile* batchFor(const QString& path);
    void reportFailure(const QString& path, const QString& reason);

    MessageBox& m_messages;
    std::optional<OpenFile> m_batch;
};

} // namespace tarnwick
