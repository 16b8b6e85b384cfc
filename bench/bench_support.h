#pragma once

// What the benchmarks fill a player's folders and settings with: save games the size the
// port writes, and history lists as long as years of use make them.

#include "settings/settings_store.h"
#include "shell/app_context.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QtEndian>

#include <array>

namespace tarnwick::bench {

// The benchmarks ask nothing and start nothing: every platform question gets no answer.
class NoPlatform final : public MessageBox, public FileDialog, public ProcessLauncher, public DocumentOpener
{
public:
    Answer show(const QString&, const QString&, Buttons, Icon) override { return Answer::Cancel; }
    bool input(const QString&, const QString&, QString&) override { return false; }
    QString openFile(const QString&, const QString&, const QString&) override { return {}; }
    QString saveFile(const QString&, const QString&, const QString&) override { return {}; }
    QString chooseFolder(const QString&, const QString&) override { return {}; }
    bool startDetached(const QString&, const QStringList&, const QString&, Failure&) override { return false; }
    bool open(const QString&) override { return false; }
};

struct Platforms
{
    NoPlatform none;
    LocalFileSystem fs;
};

// The model as the program wires it, over one store.
struct Model : Platforms, AppContext
{
    explicit Model(SettingsStore& s) : AppContext(s, {none, none, none, none, fs}) {}
};

// PNG's check value (CRC-32), which libpng verifies on the picture's chunks.
inline quint32 pngCrc(const QByteArray& bytes)
{
    static const auto table = [] {
        std::array<quint32, 256> t{};
        for (quint32 n = 0; n < 256; ++n) {
            quint32 c = n;
            for (int k = 0; k < 8; ++k) c = c & 1 ? 0xedb88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    quint32 c = 0xffffffffu;
    for (char b : bytes) c = table[(c ^ quint8(b)) & 0xff] ^ (c >> 8);
    return c ^ 0xffffffffu;
}

inline QByteArray pngChunk(const char* type, const QByteArray& data)
{
    char be[4];
    qToBigEndian(quint32(data.size()), be);
    const QByteArray body = type + data;
    char crc[4];
    qToBigEndian(pngCrc(body), crc);
    return QByteArray(be, 4) + body + QByteArray(crc, 4);
}

inline QByteArray textChunk(const QByteArray& keyword, const QByteArray& value)
{
    return pngChunk("tEXt", keyword + '\0' + value);
}

// Save number n as the port writes it: the picture shown beside the list (216 by 162), the
// text chunks, then the game's own data filling the file to `size` bytes, and IEND.
inline QByteArray saveGame(int n, qint64 size)
{
    constexpr int width = 216, height = 162;
    QByteArray header(13, '\0');
    qToBigEndian(quint32(width), header.data());
    qToBigEndian(quint32(height), header.data() + 4);
    header[8] = 8; // bits per sample
    header[9] = 2; // RGB
    QByteArray rows;
    rows.reserve((width * 3 + 1) * height);
    for (int y = 0; y < height; ++y) {
        rows += '\0'; // no filter
        for (int x = 0; x < width; ++x) {
            rows += char(x + n);
            rows += char(y * 2);
            rows += char((x ^ y) + n * 7);
        }
    }
    QByteArray head = QByteArray("\x89PNG\r\n\x1a\n", 8);
    head += pngChunk("IHDR", header);
    head += pngChunk("IDAT", qCompress(rows).mid(4)); // a zlib stream without Qt's length prefix
    head += textChunk("Software", "port 2.0.47");
    head += textChunk("ZDoom Save Version", "232");
    head += textChunk("Title", "Save " + QByteArray::number(n));
    head += textChunk("Game WAD", "DOOM2.WAD");
    head += textChunk("Current Map", "MAP" + QByteArray::number(n % 32 + 1).rightJustified(2, '0'));
    head += textChunk("Creation Time", "2005-03-04 21:10:15");
    head += textChunk("Comment", "MAP07: Dead Simple\ntime: 0:01:27");
    head += textChunk("Important CVARs", "\\sv_gravity\\800");
    const QByteArray end = pngChunk("IEND", {});
    // The game's state, which the list passes over by the chunk length.
    static QByteArray state;
    if (state.size() < size) {
        state.resize(size);
        char* d = state.data();
        for (qsizetype i = 0; i < state.size(); ++i) d[i] = char(i * 131);
    }
    return head + pngChunk("snAp", state.left(size - head.size() - 12 - end.size())) + end;
}

inline bool writeSaveGame(const QString& path, int n, qint64 size)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(saveGame(n, size)) == size;
}

// A history list of `count` entries in the store's own layout, recorded in an order that
// is not the drop-down's.
inline void writeHistory(SettingsStore& store, const QString& name, int count)
{
    const QString section = QStringLiteral("Tarnwick\\History\\") + name;
    SettingsStore::Transaction tx(store);
    for (int i = 1; i <= count; ++i)
        store.write(section, name + QString::number(i),
                    QStringLiteral("/home/player/Games/Entry %1 of %2").arg((i * 7919) % count).arg(name));
    store.write(section, name + QStringLiteral("Count"), QString::number(count));
}

} // namespace tarnwick::bench
