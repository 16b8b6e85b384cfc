#include "formats/map_info.h"

#include "formats/plain_file.h"
#include "formats/wad_directory.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

namespace tarnwick {

namespace mapinfo {

namespace {

struct Token
{
    enum Kind { Word, String, Symbol, End } kind = End;
    QString text;

    bool is(QLatin1StringView word) const { return kind == Word && text.compare(word, Qt::CaseInsensitive) == 0; }
    bool symbol(char c) const { return kind == Symbol && text.size() == 1 && text.at(0) == QLatin1Char(c); }
};

// Reads one line left to right, for the few fixed shapes of level names and DeHackEd
// headers; letters compare without regard to case, digits and blanks are any script's.
struct LineReader
{
    QStringView line;
    qsizetype at = 0;

    bool spaces() // one or more
    {
        const qsizetype from = at;
        while (at < line.size() && line[at].isSpace()) ++at;
        return at > from;
    }
    bool word(QLatin1StringView w)
    {
        if (!line.sliced(at).startsWith(w, Qt::CaseInsensitive)) return false;
        at += w.size();
        return true;
    }
    bool symbol(char c)
    {
        if (at >= line.size() || line[at] != QLatin1Char(c)) return false;
        ++at;
        return true;
    }
    // One to `most` digits; their text, empty when there is none.
    QStringView digits(qsizetype most = -1)
    {
        const qsizetype from = at;
        while (at < line.size() && line[at].isDigit() && (most < 0 || at - from < most)) ++at;
        return line.sliced(from, at - from);
    }
    bool atEnd() const { return at == line.size(); }
};

// The tokens of the port's text lumps: words, quoted strings and the symbols { } = , ; [ ].
// Comments are // and /* */, and in MAPINFO also ; to the end of the line.
class Lexer
{
public:
    Lexer(const QString& text, bool semicolonComments) : m_text(text), m_semicolonComments(semicolonComments) {}

    Token next()
    {
        if (m_hasPushed) {
            m_hasPushed = false;
            return m_pushed;
        }
        skipSpaceAndComments();
        if (m_pos >= m_text.size()) return {};
        const QChar c = m_text.at(m_pos);
        if (c == u'"') return readString();
        if (isSymbol(c)) {
            ++m_pos;
            return {Token::Symbol, QString(c)};
        }
        const qsizetype start = m_pos;
        while (m_pos < m_text.size() && !m_text.at(m_pos).isSpace() && !isSymbol(m_text.at(m_pos)) &&
               m_text.at(m_pos) != u'"' && !startsComment())
            ++m_pos;
        return {Token::Word, m_text.mid(start, m_pos - start)};
    }

    void pushBack(const Token& t)
    {
        m_pushed = t;
        m_hasPushed = true;
    }

private:
    bool isSymbol(QChar c) const
    {
        return c == u'{' || c == u'}' || c == u'=' || c == u',' || c == u'[' || c == u']' ||
               (c == u';' && !m_semicolonComments);
    }

    bool startsComment() const
    {
        const QChar c = m_text.at(m_pos);
        if (c == u';' && m_semicolonComments) return true;
        if (c != u'/' || m_pos + 1 >= m_text.size()) return false;
        return m_text.at(m_pos + 1) == u'/' || m_text.at(m_pos + 1) == u'*';
    }

    void skipSpaceAndComments()
    {
        while (m_pos < m_text.size()) {
            if (m_text.at(m_pos).isSpace()) {
                ++m_pos;
            } else if (startsComment()) {
                if (m_text.at(m_pos) == u'/' && m_text.at(m_pos + 1) == u'*') {
                    const qsizetype end = m_text.indexOf(QLatin1StringView("*/"), m_pos + 2);
                    m_pos = end < 0 ? m_text.size() : end + 2;
                } else {
                    const qsizetype end = m_text.indexOf(u'\n', m_pos);
                    m_pos = end < 0 ? m_text.size() : end + 1;
                }
            } else {
                return;
            }
        }
    }

    Token readString()
    {
        QString value;
        ++m_pos; // opening quote
        while (m_pos < m_text.size() && m_text.at(m_pos) != u'"') {
            QChar c = m_text.at(m_pos++);
            if (c == u'\\' && m_pos < m_text.size()) {
                c = m_text.at(m_pos++);
                if (c == u'n') c = u'\n';
            }
            value += c;
        }
        ++m_pos; // closing quote (or past the end of an unterminated string)
        return {Token::String, value};
    }

    const QString& m_text;
    bool m_semicolonComments;
    qsizetype m_pos = 0;
    Token m_pushed;
    bool m_hasPushed = false;
};

// The strings a `lookup` or a "$KEY" title names.
QString lookUp(const QHash<QString, QString>& strings, const QString& key)
{
    const auto it = strings.constFind(key.toUpper());
    return it == strings.constEnd() ? QString() : titleFromString(*it);
}

// The original level-name strings begin with their map, so a DeHackEd text replacement
// names the map by the text it replaces.
QStringList keysForReplacedText(const QString& old)
{
    LineReader r{old};
    r.spaces();
    if (r.word(QLatin1StringView("level")) && r.spaces()) {
        const QStringView n = r.digits();
        r.spaces();
        if (n.isEmpty() || !r.symbol(':')) return {};
        const QString number = QString::number(n.toInt());
        return {QStringLiteral("HUSTR_") + number, QStringLiteral("PHUSTR_") + number, QStringLiteral("THUSTR_") + number};
    }
    r.at = 0;
    r.spaces();
    if (!r.word(QLatin1StringView("E"))) return {};
    const QStringView episode = r.digits(1);
    if (episode.isEmpty() || !r.word(QLatin1StringView("M"))) return {};
    const QStringView map = r.digits(1);
    r.spaces();
    if (map.isEmpty() || !r.symbol(':')) return {};
    const QString em = QStringLiteral("E%1M%2").arg(episode, map);
    return {QStringLiteral("HUSTR_") + em, QStringLiteral("HHUSTR_") + em};
}

} // namespace

QString normalizedMapName(const QString& name)
{
    // "MAP7", "map07" and "7" are MAP07; anything else is itself in capitals.
    const QString n = name.trimmed();
    LineReader r{n};
    r.word(QLatin1StringView("MAP"));
    const QStringView digits = r.digits(3);
    if (!digits.isEmpty() && r.atEnd())
        if (const int number = digits.toInt(); number > 0) return QStringLiteral("MAP%1").arg(number, 2, 10, QLatin1Char('0'));
    return n.toUpper();
}

int mapNumber(const QString& normalized)
{
    if (!normalized.startsWith(QLatin1StringView("MAP")) || normalized.size() < 5) return 0;
    bool ok = false;
    const int n = normalized.mid(3).toInt(&ok);
    return ok && n > 0 ? n : 0;
}

bool episodeMap(const QString& normalized, int& episode, int& map)
{
    if (normalized.size() != 4 || normalized.at(0) != u'E' || normalized.at(2) != u'M' ||
        !normalized.at(1).isDigit() || !normalized.at(3).isDigit())
        return false;
    episode = normalized.at(1).digitValue();
    map = normalized.at(3).digitValue();
    return episode > 0 && map > 0;
}

QString titleFromString(const QString& levelString)
{
    // The map the string begins with goes: "level 7: ", "E1M7 : ", "MAP07:".
    LineReader r{levelString};
    r.spaces();
    const qsizetype start = r.at;
    const auto from = [&r, start] { return (r.at = start), true; }; // each shape is tried at the start
    const bool named = (from() && r.word(QLatin1StringView("level")) && r.spaces() && !r.digits().isEmpty()) ||
                       (from() && r.word(QLatin1StringView("E")) && !r.digits(1).isEmpty() &&
                        r.word(QLatin1StringView("M")) && !r.digits(1).isEmpty()) ||
                       (from() && r.word(QLatin1StringView("MAP")) && !r.digits().isEmpty());
    r.spaces();
    if (!named || !r.symbol(':')) return levelString.simplified();
    r.spaces();
    return levelString.mid(r.at).simplified();
}

void readLanguage(const QString& text, QHash<QString, QString>& strings)
{
    Lexer lex(text, false);
    bool english = true; // strings before any section header count
    for (Token t = lex.next(); t.kind != Token::End; t = lex.next()) {
        if (t.symbol('[')) {
            english = false;
            for (t = lex.next(); t.kind != Token::End && !t.symbol(']'); t = lex.next())
                english = english || t.is(QLatin1StringView("enu")) || t.is(QLatin1StringView("en")) ||
                          t.is(QLatin1StringView("eng")) || t.is(QLatin1StringView("default"));
            continue;
        }
        if (t.kind != Token::Word) continue;
        const QString key = t.text.toUpper();
        const Token eq = lex.next();
        if (!eq.symbol('=')) {
            lex.pushBack(eq);
            continue;
        }
        // A value may be written as several strings in a row: "one " "two".
        QString value;
        bool any = false;
        for (t = lex.next(); t.kind == Token::String; t = lex.next()) {
            value += t.text;
            any = true;
        }
        if (!t.symbol(';')) lex.pushBack(t);
        if (any && english) strings.insert(key, value);
    }
}

void readDehacked(const QString& source, QHash<QString, QString>& strings)
{
    QString text = source;
    text.remove(u'\r');
    bool inStrings = false;
    qsizetype pos = 0;
    while (pos < text.size()) {
        qsizetype end = text.indexOf(u'\n', pos);
        if (end < 0) end = text.size();
        QString line = text.mid(pos, end - pos).trimmed();
        pos = end + 1;

        // "Text <old length> <new length>"
        LineReader header{line};
        QStringView oldCount, newCount;
        if (header.word(QLatin1StringView("Text")) && header.spaces() && !(oldCount = header.digits()).isEmpty() &&
            header.spaces() && !(newCount = header.digits()).isEmpty() && (header.spaces(), header.atEnd())) {
            // The old text and then the new one follow the header, counted in characters.
            inStrings = false;
            const qsizetype oldLength = oldCount.toLongLong();
            const qsizetype newLength = newCount.toLongLong();
            if (pos >= text.size() || oldLength > text.size() - pos) break;
            const QString old = text.mid(pos, oldLength);
            pos += oldLength;
            const QString replacement = text.mid(pos, std::min(newLength, text.size() - pos));
            pos += replacement.size();
            for (const QString& key : keysForReplacedText(old)) strings.insert(key, replacement);
            // The rest of the line after the new text belongs to nothing.
            const qsizetype next = text.indexOf(u'\n', pos);
            pos = next < 0 ? text.size() : next + 1;
            continue;
        }
        if (line.startsWith(u'[')) {
            inStrings = line.compare(QLatin1StringView("[STRINGS]"), Qt::CaseInsensitive) == 0;
            continue;
        }
        if (!inStrings || line.isEmpty() || line.startsWith(u'#')) continue;
        const qsizetype eq = line.indexOf(u'=');
        if (eq <= 0) {
            inStrings = false;
            continue;
        }
        const QString key = line.left(eq).trimmed().toUpper();
        QString value = line.mid(eq + 1).trimmed();
        // A value ending in a backslash goes on with the next line.
        while (value.endsWith(u'\\') && pos < text.size()) {
            value.chop(1);
            qsizetype e = text.indexOf(u'\n', pos);
            if (e < 0) e = text.size();
            value += text.mid(pos, e - pos).trimmed();
            pos = e + 1;
        }
        value.replace(QLatin1StringView("\\n"), QLatin1StringView("\n"));
        strings.insert(key, value);
    }
}

void readMapInfo(const QString& text, const QHash<QString, QString>& strings, QHash<QString, QString>& titles)
{
    Lexer lex(text, true);
    int depth = 0;
    for (Token t = lex.next(); t.kind != Token::End; t = lex.next()) {
        if (t.symbol('{')) {
            ++depth;
            continue;
        }
        if (t.symbol('}')) {
            depth = std::max(0, depth - 1);
            continue;
        }
        if (depth != 0 || !t.is(QLatin1StringView("map"))) continue;
        const Token name = lex.next();
        if (name.kind != Token::Word && name.kind != Token::String) {
            lex.pushBack(name);
            continue;
        }
        const QString map = normalizedMapName(name.text);
        QString title;
        Token after = lex.next();
        if (after.is(QLatin1StringView("lookup"))) {
            const Token key = lex.next();
            if (key.kind == Token::Word || key.kind == Token::String)
                title = lookUp(strings, key.text);
            else
                lex.pushBack(key);
        } else if (after.kind == Token::String) {
            title = after.text.startsWith(u'$') ? lookUp(strings, after.text.mid(1)) : after.text.simplified();
        } else if (after.symbol('{')) {
            // A block of key = value lines; UMAPINFO names the map in "levelname".
            int inner = 1;
            while (inner > 0) {
                const Token b = lex.next();
                if (b.kind == Token::End) break;
                if (b.symbol('{')) ++inner;
                else if (b.symbol('}')) --inner;
                else if (inner == 1 && b.is(QLatin1StringView("levelname"))) {
                    const Token eq = lex.next();
                    const Token value = eq.symbol('=') ? lex.next() : eq;
                    if (value.kind == Token::String) title = value.text.simplified();
                    else lex.pushBack(value);
                }
            }
        } else {
            lex.pushBack(after);
        }
        if (!title.isEmpty()) titles.insert(map, title);
    }
}

} // namespace mapinfo

namespace {

// Text lumps are 8-bit: UTF-8 where they are valid UTF-8, Latin-1 otherwise.
QString decodeText(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8(bytes);
    return utf8.hasError() ? QString::fromLatin1(bytes) : text;
}

enum class Lump { None, Language, Dehacked, UmapInfo, MapInfo, ZmapInfo };

// Which text lump an entry is: a WAD's lump name, or an archive's root file of that name
// with or without an extension (language.enu, mapinfo.txt, ...).
Lump lumpKind(const QString& entryName, bool archive)
{
    QString base = entryName.toLower();
    if (archive) {
        if (base.contains(u'/')) return Lump::None;
        base = base.section(u'.', 0, 0);
    }
    if (base == QLatin1StringView("language")) return Lump::Language;
    if (base == QLatin1StringView("dehacked")) return Lump::Dehacked;
    if (base == QLatin1StringView("umapinfo")) return Lump::UmapInfo;
    if (base == QLatin1StringView("mapinfo")) return Lump::MapInfo;
    if (base == QLatin1StringView("zmapinfo")) return Lump::ZmapInfo;
    return Lump::None;
}

bool isMapMarker(const QString& name)
{
    int e = 0;
    int m = 0;
    return mapinfo::mapNumber(name) > 0 || mapinfo::episodeMap(name, e, m);
}

} // namespace

WadMapInfo readWadMapInfo(const QString& path)
{
    WadMapInfo info;
    QString error;
    const auto file = ResourceFile::open(path, &error);
    if (!file) {
        // A DeHackEd patch may stand in the map WAD list too: the port loads it as one.
        const QString suffix = QFileInfo(path).suffix().toLower();
        QFile patch;
        if ((suffix == QLatin1StringView("deh") || suffix == QLatin1StringView("bex")) &&
            plainfile::open(patch, path) == plainfile::Open::Done && patch.size() <= ResourceFile::kDefaultReadLimit) {
            mapinfo::readDehacked(decodeText(plainfile::readAt(patch, 0, patch.size())), info.strings);
        } else {
            info.error = error;
        }
        return info;
    }

    const bool archive = file->kind() == ResourceFile::Kind::Archive;
    const QList<ResourceEntry>& entries = file->entries();
    QList<qsizetype> byKind[6];
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const QString& name = entries.at(i).name;
        const Lump kind = lumpKind(name, archive);
        if (kind != Lump::None) {
            byKind[static_cast<int>(kind)].append(i);
        } else if (archive) {
            // Maps of an archive are WADs of their own under maps/.
            const QString lower = name.toLower();
            if (lower.startsWith(QLatin1StringView("maps/")) && lower.endsWith(QLatin1StringView(".wad")) &&
                lower.count(u'/') == 1) {
                const QString map = mapinfo::normalizedMapName(name.mid(5, name.size() - 9));
                if (isMapMarker(map) && !info.maps.contains(map)) info.maps.append(map);
            }
        } else if (isMapMarker(mapinfo::normalizedMapName(name)) && i + 1 < entries.size() &&
                   (entries.at(i + 1).name == QLatin1StringView("THINGS") ||
                    entries.at(i + 1).name == QLatin1StringView("TEXTMAP"))) {
            // A map marker is followed by its THINGS (or TEXTMAP) lump.
            const QString map = mapinfo::normalizedMapName(name);
            if (!info.maps.contains(map)) info.maps.append(map);
        }
    }

    // Each text lump is read whole up to the reader's limit, and all of them together up
    // to a budget, so a file of many huge (or highly compressed) lumps is cut short.
    constexpr qint64 kTextBudget = 4 * ResourceFile::kDefaultReadLimit;
    const qint64 directoryBytes = file->bytesRead();
    auto texts = [&](Lump kind) {
        QStringList out;
        for (qsizetype i : byKind[static_cast<int>(kind)]) {
            if (file->bytesRead() - directoryBytes > kTextBudget) break;
            if (const auto bytes = file->read(i)) out.append(decodeText(*bytes));
        }
        return out;
    };
    for (const QString& t : texts(Lump::Language)) mapinfo::readLanguage(t, info.strings);
    for (const QString& t : texts(Lump::Dehacked)) mapinfo::readDehacked(t, info.strings);
    for (Lump kind : {Lump::UmapInfo, Lump::MapInfo, Lump::ZmapInfo})
        for (const QString& t : texts(kind)) mapinfo::readMapInfo(t, info.strings, info.titles);
    return info;
}

} // namespace tarnwick
