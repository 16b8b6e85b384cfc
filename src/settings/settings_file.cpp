#include "settings/settings_file.h"

#include "settings/settings_store.h"

#include <QFile>
#include <QIODevice>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStringConverter>
#include <QStringList>

#include <optional>

namespace tarnwick {

namespace {

const QString kHeader5 = QStringLiteral("Windows Registry Editor Version 5.00");
const QString kHeader4 = QStringLiteral("REGEDIT4");
const QString kCrLf = QStringLiteral("\r\n");

// The full settings section is a few kilobytes; anything this large is something else.
constexpr qint64 kMaxFileSize = 4 * 1024 * 1024;

// The registry tool wraps long binary values so that no line passes 80 columns.
constexpr int kHexLineWidth = 77;

void setError(QString* error, const QString& text)
{
    if (error) *error = text;
}

// Windows-1252 differs from Latin-1 only in 0x80..0x9F. The five codes it leaves
// undefined map to the C1 controls, as Windows itself does.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

QString fromWindows1252(QByteArrayView bytes)
{
    QString text;
    text.reserve(bytes.size());
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        text.append(b >= 0x80 && b < 0xA0 ? QChar(kCp1252High[b - 0x80]) : QChar(b));
    }
    return text;
}

bool decodeStrict(QStringConverter::Encoding encoding, QByteArrayView bytes, QString& text)
{
    QStringDecoder decoder(encoding, QStringConverter::Flag::Stateless);
    text = decoder.decode(bytes);
    return !decoder.hasError();
}

// Finds the text form from the byte-order mark, or from the bytes themselves: a file that
// is valid UTF-8 is read as UTF-8, any other 8-bit file as Windows-1252.
bool decodeFile(const QByteArray& bytes, QString& text, QString* error)
{
    const auto utf16 = [&](QStringConverter::Encoding encoding, qsizetype skip) {
        const QByteArrayView body = QByteArrayView(bytes).sliced(skip);
        if (body.size() % 2 != 0) {
            setError(error, QStringLiteral("The file ends in the middle of a character: it has been cut short."));
            return false;
        }
        if (decodeStrict(encoding, body, text)) return true;
        setError(error, QStringLiteral("The file holds characters that are not UTF-16 text."));
        return false;
    };

    if (bytes.startsWith("\xFF\xFE")) return utf16(QStringConverter::Utf16LE, 2);
    if (bytes.startsWith("\xFE\xFF")) return utf16(QStringConverter::Utf16BE, 2);
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        if (decodeStrict(QStringConverter::Utf8, QByteArrayView(bytes).sliced(3), text)) return true;
        setError(error, QStringLiteral("The file is marked as UTF-8 but holds bytes that are not UTF-8."));
        return false;
    }
    // UTF-16 saved without its mark: the first character is plain ASCII.
    if (bytes.size() >= 2 && bytes.at(0) != 0 && bytes.at(1) == 0)
        return utf16(QStringConverter::Utf16LE, 0);
    if (!decodeStrict(QStringConverter::Utf8, bytes, text)) text = fromWindows1252(bytes);
    return true;
}

// Half of a UTF-16 pair is no character: the store would join it with its neighbour. Read
// text has each one replaced by U+FFFD, as a strict reader of the file would show it.
QString wholeCharacters(QString text)
{
    if (text.isValidUtf16()) return text;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        else if (c.isSurrogate())
            text[i] = QChar::ReplacementCharacter;
    }
    return text;
}

QString escaped(const QString& text)
{
    QString out = text;
    out.replace(u'\\', QStringLiteral("\\\\"));
    out.replace(u'"', QStringLiteral("\\\""));
    return out;
}

// A value with a line break cannot stand between quotes in the file, nor one with a zero
// character (readers take that for binary data) or with half of a UTF-16 pair; the
// registry tool takes such a value as a string written out in hex, UTF-16LE with its
// terminating zero, and reading it gives the same value back.
bool needsHex(const QString& value)
{
    return value.contains(u'\r') || value.contains(u'\n') || value.contains(QChar(0)) || !value.isValidUtf16();
}

QString hexString(const QString& prefix, const QString& value)
{
    QByteArray bytes = QStringEncoder(QStringConverter::Utf16LE).encode(value);
    bytes.append(2, '\0');
    QString out = prefix + QStringLiteral("hex(1):");
    qsizetype column = out.size();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const bool last = i + 1 == bytes.size();
        if (column + 3 > kHexLineWidth) {
            out += QStringLiteral("\\") + kCrLf + QStringLiteral("  ");
            column = 2;
        }
        out += QString::number(static_cast<unsigned char>(bytes.at(i)), 16).rightJustified(2, u'0');
        if (!last) out += u',';
        column += 3;
    }
    return out;
}

// Reads a quoted text starting at `pos` (on the opening quote); leaves `pos` after the
// closing quote. A backslash takes the next character as it is.
bool readQuoted(const QString& line, qsizetype& pos, QString& out)
{
    out = QStringLiteral(""); // "" is a value, not an absent one
    for (qsizetype i = pos + 1; i < line.size(); ++i) {
        const QChar c = line.at(i);
        if (c == u'"') {
            pos = i + 1;
            return true;
        }
        if (c == u'\\' && i + 1 < line.size()) {
            const QChar next = line.at(++i);
            if (next != u'\\' && next != u'"') out += u'\\';
            out += next;
        } else {
            out += c;
        }
    }
    return false;
}

void skipBlanks(const QString& line, qsizetype& pos)
{
    while (pos < line.size() && (line.at(pos) == u' ' || line.at(pos) == u'\t')) ++pos;
}

bool parseHexBytes(const QString& text, QByteArray& out)
{
    out.clear();
    const QString compact = QString(text).remove(u' ').remove(u'\t');
    if (compact.isEmpty()) return true;
    for (const QString& piece : compact.split(u',')) {
        bool ok = false;
        const uint byte = piece.toUInt(&ok, 16);
        if (!ok || piece.size() > 2 || byte > 0xFF) return false;
        out.append(static_cast<char>(byte));
    }
    return true;
}

QString stringFromHex(const QByteArray& bytes, bool unicode)
{
    QString text;
    if (unicode) {
        const qsizetype even = bytes.size() - bytes.size() % 2;
        text = QStringDecoder(QStringConverter::Utf16LE).decode(QByteArrayView(bytes).first(even));
    } else {
        text = fromWindows1252(bytes);
    }
    while (text.endsWith(QChar(0))) text.chop(1);
    return text;
}

class Parser
{
public:
    Parser(const QStringList& lines, bool unicode) : m_lines(lines), m_unicode(unicode) {}

    bool run(SettingsEntries& entries, QString* error)
    {
        const QString key = settingsRegistryKey();
        bool inSettings = false;
        bool sawSettings = false;
        for (m_index = 1; m_index < m_lines.size(); ++m_index) {
            const QString line = m_lines.at(m_index).trimmed();
            if (line.isEmpty() || line.startsWith(u';')) continue;
            if (line.startsWith(u'[')) {
                if (!line.endsWith(u']')) return fail(error);
                const QString path = line.mid(1, line.size() - 2).trimmed();
                // A deletion entry removes nothing here, and what follows it is not ours.
                inSettings = !path.startsWith(u'-') && path.compare(key, Qt::CaseInsensitive) == 0;
                sawSettings = sawSettings || inSettings;
                continue;
            }
            QString name;
            std::optional<QString> value;
            if (!readValueLine(line, name, value)) return fail(error);
            if (inSettings && value && !name.isEmpty()) m_found.append({wholeCharacters(name), wholeCharacters(*value)});
        }
        if (!sawSettings) {
            setError(error, QStringLiteral("The file holds no Tarnwick settings."));
            return false;
        }
        entries = m_found;
        return true;
    }

private:
    bool fail(QString* error) const
    {
        setError(error, QStringLiteral("Line %1 is not a registry entry, or the file has been cut short.")
                            .arg(m_index + 1));
        return false;
    }

    // `name` stays empty for the default value "@"; `value` is set for string values only.
    bool readValueLine(const QString& line, QString& name, std::optional<QString>& value)
    {
        qsizetype pos = 0;
        if (line.startsWith(u'@')) {
            pos = 1;
        } else if (line.startsWith(u'"')) {
            if (!readQuoted(line, pos, name)) return false;
        } else {
            return false;
        }
        skipBlanks(line, pos);
        if (pos >= line.size() || line.at(pos) != u'=') return false;
        ++pos;
        skipBlanks(line, pos);
        const QString data = line.mid(pos);

        if (data.startsWith(u'"')) {
            QString text;
            qsizetype end = 0;
            if (!readQuoted(data, end, text) || !data.mid(end).trimmed().isEmpty()) return false;
            value = text;
            return true;
        }
        if (data == u'-') return true; // a deletion: nothing to import
        static const QRegularExpression dword(QStringLiteral("^dword:[0-9A-Fa-f]{1,8}$"));
        if (dword.match(data).hasMatch()) return true;
        static const QRegularExpression hex(QStringLiteral("^hex(?:\\(([0-9A-Fa-f]{1,8})\\))?:(.*)$"));
        const QRegularExpressionMatch m = hex.match(data);
        if (!m.hasMatch()) return false;
        QString bytesText = m.captured(2).trimmed();
        while (bytesText.endsWith(u'\\')) {
            bytesText.chop(1);
            if (++m_index >= m_lines.size()) return false;
            bytesText += m_lines.at(m_index).trimmed();
        }
        QByteArray bytes;
        if (!parseHexBytes(bytesText, bytes)) return false;
        if (m.captured(1).toUInt(nullptr, 16) == 1) value = stringFromHex(bytes, m_unicode);
        return true;
    }

    const QStringList& m_lines;
    bool m_unicode;
    qsizetype m_index = 0;
    SettingsEntries m_found;
};

} // namespace

QString settingsRegistryKey()
{
    return QStringLiteral("HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\") +
           QLatin1StringView(SettingsStore::kApplication) + u'\\' + SettingsStore::settingsSection();
}

bool writeSettingsFile(QIODevice& device, const SettingsEntries& entries, QString* error)
{
    QString text = kHeader5 + kCrLf + kCrLf + u'[' + settingsRegistryKey() + u']' + kCrLf;
    for (const auto& [name, value] : entries) {
        if (name.contains(u'\r') || name.contains(u'\n')) {
            setError(error, QStringLiteral("The setting name '%1' holds a line break.").arg(name));
            return false;
        }
        const QString prefix = u'"' + escaped(name) + QStringLiteral("\"=");
        if (needsHex(value))
            text += hexString(prefix, value);
        else
            text += prefix + u'"' + escaped(value) + u'"';
        text += kCrLf;
    }
    text += kCrLf;

    QStringEncoder encoder(QStringConverter::Utf16LE, QStringConverter::Flag::WriteBom);
    const QByteArray bytes = encoder.encode(text);
    if (device.write(bytes) != bytes.size()) {
        setError(error, device.errorString());
        return false;
    }
    return true;
}

bool readSettingsFile(QIODevice& device, SettingsEntries& entries, QString* error)
{
    const QByteArray bytes = device.read(kMaxFileSize + 1);
    if (bytes.size() > kMaxFileSize) {
        setError(error, QStringLiteral("The file is far too large to be a settings file."));
        return false;
    }
    if (bytes.isEmpty()) {
        setError(error, QStringLiteral("The file is empty."));
        return false;
    }
    QString text;
    if (!decodeFile(bytes, text, error)) return false;
    if (text.startsWith(QChar(0xFEFF))) text.remove(0, 1);
    if (text.contains(QChar(0))) {
        setError(error, QStringLiteral("The file holds binary data, not settings."));
        return false;
    }

    static const QRegularExpression lineEnd(QStringLiteral("\r\n|\r|\n"));
    const QStringList lines = text.split(lineEnd);
    const QString header = lines.first().trimmed();
    if (header != kHeader5 && header != kHeader4) {
        setError(error, QStringLiteral("The file is not a settings file: it does not begin with \"%1\" or \"%2\".")
                            .arg(kHeader5, kHeader4));
        return false;
    }
    return Parser(lines, header == kHeader5).run(entries, error);
}

bool exportSettingsFile(const SettingsStore& store, const QString& path, QString* error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        setError(error, file.errorString());
        return false;
    }
    if (!writeSettingsFile(file, store.entries(SettingsStore::settingsSection()), error)) {
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        setError(error, file.errorString());
        return false;
    }
    return true;
}

bool importSettingsFile(SettingsStore& store, const QString& path, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        setError(error, file.errorString());
        return false;
    }
    SettingsEntries entries;
    if (!readSettingsFile(file, entries, error)) return false;

    const QString section = SettingsStore::settingsSection();
    SettingsStore::Transaction tx(store);
    for (const auto& [name, value] : entries) store.write(section, name, value);
    return true;
}

} // namespace tarnwick
