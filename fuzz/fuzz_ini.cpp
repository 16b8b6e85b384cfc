// The configuration file on any bytes, and a few writes into it: untouched, it is given
// back byte for byte; after the writes, read again, every written key holds its value
// and every other key the value it had. The same through the store, in one file.

#include "fuzz_check.h"

#include "editors/ini/ini_document.h"
#include "editors/ini/ini_store.h"
#include "base/text_encoding.h"
#include "platform/message_box.h"

#include <QFile>

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <optional>

using namespace tarnwick;

namespace {

struct Edit
{
    QByteArray section;
    QByteArray key;
    QByteArray value;
};

// Names as the program's key table has them: letters, digits, dots and underscores.
QByteArray name(FuzzedDataProvider& in)
{
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789._";
    QByteArray n;
    const int length = in.ConsumeIntegralInRange<int>(1, 12);
    for (int i = 0; i < length; ++i) n += kLetters[in.ConsumeIntegralInRange<size_t>(0, sizeof kLetters - 2)];
    return n;
}

// What reading gives back for a written value: a line break cannot stand in a value and
// becomes a blank, and blanks around a value do not count.
QByteArray readBack(QByteArray value)
{
    value.replace('\r', ' ').replace('\n', ' ');
    qsizetype s = 0;
    qsizetype e = value.size();
    while (s < e && (value[s] == ' ' || value[s] == '\t')) ++s;
    while (e > s && (value[e - 1] == ' ' || value[e - 1] == '\t')) --e;
    return value.mid(s, e - s);
}

bool sameName(const QByteArray& a, const QByteArray& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Section and key pairs to watch: every "key=" under the "[section]" before it, found
// roughly; only whether the reader's answer stays the same is looked at.
QList<QPair<QByteArray, QByteArray>> probes(const QByteArray& file)
{
    QList<QPair<QByteArray, QByteArray>> found;
    QByteArray section;
    for (const QByteArray& raw : file.split('\n')) {
        const QByteArray line = raw.trimmed();
        if (line.startsWith('[') && line.contains(']')) section = line.mid(1, line.indexOf(']') - 1).trimmed();
        else if (line.contains('=')) found.append({section, line.left(line.indexOf('=')).trimmed()});
        if (found.size() == 64) break;
    }
    return found;
}

class NoMessages final : public MessageBox
{
public:
    Answer show(const QString& text, const QString&, Buttons, Icon) override
    {
        fuzz::check(false, "the store shows no message for a writable file", text.toUtf8());
        return Answer::Ok;
    }
    bool input(const QString&, const QString&, QString&) override { return false; }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider in(data, size);
    QList<Edit> edits;
    const int count = in.ConsumeIntegralInRange<int>(0, 6);
    for (int i = 0; i < count; ++i) {
        Edit e;
        e.section = name(in);
        e.key = name(in);
        const std::string value = in.ConsumeRandomLengthString(40);
        e.value = QByteArray(value.data(), qsizetype(value.size()));
        edits.append(e);
    }
    const std::string rest = in.ConsumeRemainingBytesAsString();
    const QByteArray file(rest.data(), qsizetype(rest.size()));

    IniDocument doc;
    doc.setBytes(file);
    fuzz::check(doc.bytes() == file, "a file read and not changed is written back byte for byte");

    const auto watched = probes(file);
    QList<std::optional<QByteArray>> before;
    for (const auto& [s, k] : watched) before.append(doc.value(s, k));

    for (const Edit& e : edits) doc.setValue(e.section, e.key, e.value);
    IniDocument again;
    again.setBytes(doc.bytes());

    // The last write of a key counts.
    auto expected = [&](const QByteArray& s, const QByteArray& k) -> std::optional<QByteArray> {
        for (qsizetype i = edits.size() - 1; i >= 0; --i)
            if (sameName(edits[i].section, s) && sameName(edits[i].key, k)) return readBack(edits[i].value);
        return std::nullopt;
    };
    for (const Edit& e : edits)
        fuzz::check(again.value(e.section, e.key) == expected(e.section, e.key), "a written key reads back its value",
                    e.section + "/" + e.key + "=" + e.value);
    for (qsizetype i = 0; i < watched.size(); ++i) {
        const auto& [s, k] = watched[i];
        if (!expected(s, k)) fuzz::check(again.value(s, k) == before[i], "a key nobody wrote keeps its value", s + "/" + k);
    }

    // The store, on a file: one batch of writes, then a fresh store reads each key as the
    // file's text says it, and, while the file keeps its encoding, as the value written.
    static const QString path = fuzz::scratchFolder("ini") + QStringLiteral("/zdoom.ini");
    {
        QFile f(path);
        fuzz::check(f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(file) == file.size(), "the file is written");
    }
    NoMessages messages;
    IniStore store(messages);
    store.beginBatch(path);
    for (const Edit& e : edits)
        store.WriteKey(filetext::decode(e.value), filetext::decode(e.section), filetext::decode(e.key), path);
    fuzz::check(store.endBatch(), "the batch is saved");

    QFile saved(path);
    fuzz::check(saved.open(QIODevice::ReadOnly), "the saved file is there");
    IniDocument written;
    written.setBytes(saved.readAll());
    const filetext::Encoding encoding = doc.encoding();
    IniStore reader(messages);
    for (qsizetype i = 0; i < edits.size(); ++i) {
        const Edit& e = edits[i];
        const QString got = reader.ReadKey(filetext::decode(e.section), filetext::decode(e.key), path);
        const auto inFile = written.value(e.section, e.key);
        fuzz::check(inFile && got == filetext::decode(*inFile, written.encoding()), "the store reads what the file holds",
                    e.section + "/" + e.key);
        bool last = true;
        for (qsizetype j = i + 1; j < edits.size(); ++j)
            last = last && !(sameName(edits[j].section, e.section) && sameName(edits[j].key, e.key));
        if (last && written.encoding() == encoding)
            fuzz::check(got == filetext::decode(readBack(filetext::encode(filetext::decode(e.value), encoding)), encoding),
                        "the store reads the value written", e.section + "/" + e.key + "=" + e.value);
    }
    return 0;
}
