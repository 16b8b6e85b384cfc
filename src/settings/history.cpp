#include "settings/history.h"

#include "settings/settings_store.h"

#include <algorithm>
#include <utility>

namespace tarnwick {

namespace {

constexpr std::array<const char*, kHistoryCount> kNames = {
    "ZEXE", "ZFolder", "Config", "IWAD", "Parm", "Demo",
    "PWAD", "Deh",     "Join",   "EC",   "Net",  "TransFile"};

QString sectionOf(const QString& RegName)
{
    return QStringLiteral("Tarnwick\\History\\") + RegName;
}

bool lessIgnoringCase(const QString& a, const QString& b)
{
    return QString::compare(a, b, Qt::CaseInsensitive) < 0;
}

// The number of an entry key ("zexe12" of the list "ZEXE" is 12), or 0 when the key is
// no entry key: entry numbers are decimal digits without leading zeros.
qint64 entryNumber(const QString& key, const QString& prefix)
{
    if (!key.startsWith(prefix)) return 0;
    const QStringView digits = QStringView(key).mid(prefix.size());
    if (digits.isEmpty() || digits.size() > 18 || digits.front() == u'0') return 0;
    for (QChar c : digits)
        if (c < u'0' || c > u'9') return 0;
    return digits.toLongLong();
}

// The largest entry number present in a list's section.
qint64 largestEntry(const QHash<QString, QString>& keys, const QString& RegName)
{
    const QString prefix = RegName.toLower();
    qint64 largest = 0;
    for (auto it = keys.cbegin(); it != keys.cend(); ++it) largest = std::max(largest, entryNumber(it.key(), prefix));
    return largest;
}

// The count key as a whole number. The program only ever writes whole numbers of 0 or
// more; a damaged key (a word, a fraction, a negative or huge number) counts as the
// largest entry number present, so a reader can neither hang nor crash on it.
qint64 countOf(const QHash<QString, QString>& keys, const QString& RegName, qint64 fallback)
{
    const auto it = keys.constFind((RegName + QStringLiteral("Count")).toLower());
    if (it == keys.cend()) return fallback;
    bool ok = false;
    const qint64 n = it->trimmed().toLongLong(&ok);
    if (ok && n >= 0 && n <= 2147483647) return n;
    return largestEntry(keys, RegName);
}

} // namespace

QString historyName(History h)
{
    return QString::fromLatin1(kNames[static_cast<int>(h)]);
}

Histories::Histories(SettingsStore& store, QObject* parent) : QObject(parent), m_store(store) {}

QStringList Histories::stored(const QString& RegName) const
{
    const QHash<QString, QString> keys = m_store.readSection(sectionOf(RegName));
    const qint64 count = countOf(keys, RegName, 1);
    // Only the entries present are visited, in number order, so a count far beyond them
    // (a damaged key, or a huge entry number) costs nothing.
    QList<QPair<qint64, QString>> present;
    const QString prefix = RegName.toLower();
    for (auto it = keys.cbegin(); it != keys.cend(); ++it) {
        const qint64 n = entryNumber(it.key(), prefix);
        if (n >= 1 && n <= count && !it->isEmpty()) present.append({n, it.value()});
    }
    std::sort(present.begin(), present.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    QStringList entries;
    entries.reserve(present.size());
    for (const auto& e : present) entries.append(e.second);
    return entries;
}

void Histories::insertSorted(QStringList& list, const QString& text)
{
    list.insert(std::upper_bound(list.begin(), list.end(), text, lessIgnoringCase), text);
}

void Histories::GetHistory(History cmb, const QString& RegName)
{
    m_pending[static_cast<int>(cmb)].append(RegName);
    emit changed(cmb);
}

const QStringList& Histories::shown(History cmb) const
{
    load(cmb);
    return m_shown[static_cast<int>(cmb)];
}

void Histories::load(History cmb) const
{
    QStringList& list = m_shown[static_cast<int>(cmb)];
    for (const QString& RegName : std::exchange(m_pending[static_cast<int>(cmb)], {})) {
        QStringList entries = stored(RegName);
        std::stable_sort(entries.begin(), entries.end(), lessIgnoringCase);
        if (list.isEmpty()) {
            list = entries;
        } else {
            for (const QString& e : entries) insertSorted(list, e);
        }
    }
}

void Histories::CmbProc(const QString& Str, const QString& RegName, History cmb)
{
    if (Str.isEmpty()) return;
    // One transaction from the first read to the last write: another Tarnwick recording
    // into the same list at the same moment waits instead of taking the same number.
    SettingsStore::Transaction tx(m_store);
    const QString upper = Str.toUpper();
    const QStringList entries = stored(RegName);
    for (const QString& e : entries)
        if (e.toUpper() == upper) return;

    const QString section = sectionOf(RegName);
    const qint64 n = countOf(m_store.readSection(section), RegName, 0);
    m_store.write(section, RegName + QStringLiteral("Count"), QString::number(n + 1));
    m_store.write(section, RegName + QString::number(n + 1), Str);
    // A list not read yet finds the new entry in the store when it is.
    if (m_pending[static_cast<int>(cmb)].isEmpty()) insertSorted(m_shown[static_cast<int>(cmb)], Str);
    emit changed(cmb);
}

void Histories::ClearHistory(History cmb, const QString& RegName)
{
    m_pending[static_cast<int>(cmb)].clear();
    m_shown[static_cast<int>(cmb)].clear();
    m_store.write(sectionOf(RegName), RegName + QStringLiteral("Count"), QStringLiteral("0"));
    emit changed(cmb);
}

void Histories::deleteList(const QString& RegName)
{
    m_store.deleteSection(sectionOf(RegName));
}

} // namespace tarnwick
