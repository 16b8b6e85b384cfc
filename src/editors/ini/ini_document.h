#pragma once

#include "base/text_encoding.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

#include <optional>

class QIODevice;

namespace tarnwick {

// A configuration file held line by line, each line with its own line ending, so that
// changing one value rewrites only that value and every other byte of the file stays
// as it was: comments, blank lines, unknown keys, the order of things, stray binary.
//
// The rules follow the way the port reads its configuration: a line "[name]" opens a
// section, a line "key=value" inside a section is an entry, names are compared without
// regard to letter case, blanks around keys and values do not count, a line starting
// with "#" or ";" is a comment. A section named twice is one section; of two entries
// with the same key the first one counts. Entries before any section belong to none, and
// so do the entries after a header that lacks its closing "]": that line is kept as it
// is, and no entry is ever read from or added under it. A byte-order mark at the start
// is kept and does not hide the first header.
class IniDocument
{
public:
    // Takes the rest of an open device. False when it is not readable; the document is
    // then empty.
    bool read(QIODevice& device);
    void setBytes(QByteArrayView bytes);

    QByteArray bytes() const;
    qsizetype size() const;

    // The value of the first entry `key` in section `section`, nothing when absent.
    std::optional<QByteArray> value(QByteArrayView section, QByteArrayView key) const;

    // Stores the value, adding the entry to the end of its section and the section to the
    // end of the file when they are missing. A line break inside the value becomes a
    // blank, because it would end the line, and blanks at its ends are dropped, because
    // reading would drop them: the value read back is the value stored. Returns whether
    // the document changed.
    bool setValue(QByteArrayView section, QByteArrayView key, QByteArrayView value);

    bool isModified() const { return m_modified; }
    void setModified(bool modified) { m_modified = modified; }

    // The line ending given to new lines: the file's first one, else the platform's.
    QByteArray newline() const { return m_newline; }

    // How the file's text is encoded, found when it was read; values are written in it.
    filetext::Encoding encoding() const { return m_encoding; }

private:
    enum class Kind { Other, Section, BrokenSection, Entry };
    struct Line
    {
        QByteArray text; // without its line ending
        QByteArray ending; // "\r\n", "\n", "\r", or empty on an unterminated last line
        Kind kind = Kind::Other;
        // Section name or key, and for an entry where its value starts and ends in text.
        qsizetype nameStart = 0;
        qsizetype nameEnd = 0;
        qsizetype valueStart = 0;
        qsizetype valueEnd = 0;

        QByteArrayView name() const { return QByteArrayView(text).sliced(nameStart, nameEnd - nameStart); }
        QByteArrayView valueView() const { return QByteArrayView(text).sliced(valueStart, valueEnd - valueStart); }
    };

    static Line parseLine(QByteArray text, QByteArray ending);
    int findEntry(QByteArrayView section, QByteArrayView key, int* lastAnchorOfSection) const;
    void insertLine(int at, Line line);
    void appendLine(Line line);

    QByteArray m_byteOrderMark;
    QList<Line> m_lines;
    filetext::Encoding m_encoding = filetext::Encoding::Utf8;
    QByteArray m_newline = defaultNewline();
    bool m_modified = false;

    static QByteArray defaultNewline();
};

} // namespace tarnwick
