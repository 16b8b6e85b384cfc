#pragma once

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
// with the same key the first one counts. Entries before any section belong to none.
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
    // blank, because it would end the line. Returns whether the document changed.
    bool setValue(QByteArrayView section, QByteArrayView key, QByteArrayView value);

    bool isModified() const { return m_modified; }
    void setModified(bool modified) { m_modified = modified; }

    // The line ending given to new lines: the file's first one, else the platform's.
    QByteArray newline() const { return m_newline; }

private:
    enum class Kind { Other, Section, Entry };
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

    QList<Line> m_lines;
    QByteArray m_newline = defaultNewline();
    bool m_modified = false;

    static QByteArray defaultNewline();
};

} // namespace tarnwick
