#include "editors/ini/ini_document.h"

#include <QIODevice>

namespace tarnwick {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

bool sameName(QByteArrayView a, QByteArrayView b)
{
    return a.size() == b.size() && a.compare(b, Qt::CaseInsensitive) == 0;
}

// What reading the value back gives: line breaks become blanks, outer blanks go.
QByteArray storable(QByteArrayView value)
{
    QByteArray v = value.toByteArray();
    v.replace('\r', ' ').replace('\n', ' ');
    qsizetype start = 0;
    qsizetype end = v.size();
    while (start < end && isBlank(v[start])) ++start;
    while (end > start && isBlank(v[end - 1])) --end;
    return v.sliced(start, end - start);
}

constexpr QByteArrayView kByteOrderMark = "\xEF\xBB\xBF";

} // namespace

QByteArray IniDocument::defaultNewline()
{
#ifdef Q_OS_WIN
    return QByteArrayLiteral("\r\n");
#else
    return QByteArrayLiteral("\n");
#endif
}

bool IniDocument::read(QIODevice& device)
{
    if (!device.isReadable()) {
        setBytes({});
        return false;
    }
    setBytes(device.readAll());
    return true;
}

void IniDocument::setBytes(QByteArrayView bytes)
{
    m_lines.clear();
    m_newline.clear();
    m_modified = false;
    m_encoding = filetext::detect(bytes);
    m_byteOrderMark = bytes.startsWith(kByteOrderMark) ? kByteOrderMark.toByteArray() : QByteArray();
    const char* const data = bytes.data();
    const qsizetype n = bytes.size();
    qsizetype start = m_byteOrderMark.size();
    qsizetype i = start;
    while (i < n) {
        const char c = data[i];
        if (c != '\n' && c != '\r') {
            ++i;
            continue;
        }
        const qsizetype endingLength = (c == '\r' && i + 1 < n && data[i + 1] == '\n') ? 2 : 1;
        QByteArray ending(data + i, endingLength);
        if (m_newline.isEmpty()) m_newline = ending;
        m_lines.append(parseLine(QByteArray(data + start, i - start), std::move(ending)));
        i += endingLength;
        start = i;
    }
    if (start < n) m_lines.append(parseLine(QByteArray(data + start, n - start), {}));
    if (m_newline.isEmpty()) m_newline = defaultNewline();
}

IniDocument::Line IniDocument::parseLine(QByteArray text, QByteArray ending)
{
    Line line;
    line.text = std::move(text);
    line.ending = std::move(ending);
    const QByteArrayView t(line.text);
    const qsizetype n = t.size();
    qsizetype p = 0;
    while (p < n && isBlank(t[p])) ++p;
    if (p == n || t[p] == '#' || t[p] == ';') return line;

    if (t[p] == '[') {
        const qsizetype close = t.indexOf(']', p + 1);
        if (close < 0) {
            line.kind = Kind::BrokenSection;
            return line;
        }
        qsizetype s = p + 1;
        qsizetype e = close;
        while (s < e && isBlank(t[s])) ++s;
        while (e > s && isBlank(t[e - 1])) --e;
        line.kind = Kind::Section;
        line.nameStart = s;
        line.nameEnd = e;
        return line;
    }

    const qsizetype eq = t.indexOf('=', p);
    if (eq < 0) return line;
    qsizetype keyEnd = eq;
    while (keyEnd > p && isBlank(t[keyEnd - 1])) --keyEnd;
    if (keyEnd == p) return line;
    qsizetype vs = eq + 1;
    qsizetype ve = n;
    while (vs < ve && isBlank(t[vs])) ++vs;
    while (ve > vs && isBlank(t[ve - 1])) --ve;
    line.kind = Kind::Entry;
    line.nameStart = p;
    line.nameEnd = keyEnd;
    line.valueStart = vs;
    line.valueEnd = ve;
    return line;
}

QByteArray IniDocument::bytes() const
{
    QByteArray out;
    out.reserve(size());
    out.append(m_byteOrderMark);
    for (const Line& line : m_lines) {
        out.append(line.text);
        out.append(line.ending);
    }
    return out;
}

qsizetype IniDocument::size() const
{
    qsizetype total = m_byteOrderMark.size();
    for (const Line& line : m_lines) total += line.text.size() + line.ending.size();
    return total;
}

// The line of the first matching entry, or -1. `lastAnchorOfSection` receives the last
// header or entry line of the section's last appearance (-1 when the section is absent),
// which is where a new entry of that section goes. A broken header ends a section and
// opens none.
int IniDocument::findEntry(QByteArrayView section, QByteArrayView key, int* lastAnchorOfSection) const
{
    bool inSection = false;
    int anchor = -1;
    for (int i = 0; i < m_lines.size(); ++i) {
        const Line& line = m_lines.at(i);
        if (line.kind == Kind::BrokenSection) {
            inSection = false;
        } else if (line.kind == Kind::Section) {
            inSection = sameName(line.name(), section);
            if (inSection) anchor = i;
        } else if (inSection && line.kind == Kind::Entry) {
            if (sameName(line.name(), key)) return i;
            anchor = i;
        }
    }
    if (lastAnchorOfSection) *lastAnchorOfSection = anchor;
    return -1;
}

std::optional<QByteArray> IniDocument::value(QByteArrayView section, QByteArrayView key) const
{
    const int i = findEntry(section, key, nullptr);
    if (i < 0) return std::nullopt;
    return m_lines.at(i).valueView().toByteArray();
}

void IniDocument::insertLine(int at, Line line)
{
    // The line before the new one ends the file without a line break: the new line takes
    // over that last position, so the file keeps ending as it did.
    Line& before = m_lines[at - 1];
    if (before.ending.isEmpty()) {
        before.ending = m_newline;
        line.ending.clear();
    }
    m_lines.insert(at, std::move(line));
}

void IniDocument::appendLine(Line line)
{
    if (m_lines.isEmpty()) {
        m_lines.append(std::move(line));
        return;
    }
    insertLine(static_cast<int>(m_lines.size()), std::move(line));
}

bool IniDocument::setValue(QByteArrayView section, QByteArrayView key, QByteArrayView value)
{
    const QByteArray clean = storable(value);
    int anchor = -1;
    const int found = findEntry(section, key, &anchor);
    if (found >= 0) {
        Line& line = m_lines[found];
        if (line.valueView() == QByteArrayView(clean)) return false;
        line.text.replace(line.valueStart, line.valueEnd - line.valueStart, clean);
        line.valueEnd = line.valueStart + clean.size();
        m_modified = true;
        return true;
    }

    const QByteArray entryText = key.toByteArray() + '=' + clean;
    if (anchor >= 0) {
        insertLine(anchor + 1, parseLine(entryText, m_newline));
    } else {
        // A new section goes after a blank line, as the port separates its sections.
        bool hasContent = false;
        for (const Line& line : m_lines)
            if (!line.text.trimmed().isEmpty()) {
                hasContent = true;
                break;
            }
        if (hasContent && !m_lines.constLast().text.trimmed().isEmpty())
            appendLine(parseLine({}, m_newline));
        appendLine(parseLine('[' + section.toByteArray() + ']', m_newline));
        appendLine(parseLine(entryText, m_newline));
    }
    m_modified = true;
    return true;
}

} // namespace tarnwick
