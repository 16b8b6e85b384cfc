// Reading and saving the editor's 41 keys in a large configuration file: the time of
// GetSettings plus SaveSettings, and the bytes the save writes.

#include "editors/ini/ini_editor_controller.h"
#include "editors/ini/ini_store.h"
#include "platform/message_box.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace tarnwick;

namespace {

class SilentMessages final : public MessageBox
{
public:
    int shown = 0;
    Answer show(const QString& text, const QString&, Buttons, Icon) override
    {
        ++shown;
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
        return Answer::Ok;
    }
    bool input(const QString&, const QString&, QString&) override { return false; }
};

// 60 sections of about 200 KB in all, the editor's keys spread among the port's own.
QByteArray generatedFile(qsizetype targetSize)
{
    QList<QByteArray> sections;
    for (const char* game : {"Doom", "Heretic", "Hexen"}) {
        sections << QByteArray(game) + ".Player" << QByteArray(game) + ".ConsoleVariables"
                 << QByteArray(game) + ".Bindings" << QByteArray(game) + ".DoubleBindings"
                 << QByteArray(game) + ".AutomapBindings" << QByteArray(game) + ".AutoExec";
    }
    sections << "GlobalSettings" << "LastRun";
    for (int i = 0; sections.size() < 60; ++i) sections << "Extra" + QByteArray::number(i);

    QList<QByteArray> bodies(sections.size());
    for (int s = 0; s < sections.size(); ++s) {
        if (sections[s].endsWith(".Player")) bodies[s] += "name=Player\ngender=male\ncolor=40 cf 00\n";
        if (sections[s].endsWith(".ConsoleVariables"))
            for (int m = 0; m < 10; ++m) bodies[s] += "Chatmacro" + QByteArray::number(m) + "=macro\n";
    }
    const int global = int(sections.indexOf("GlobalSettings"));
    bodies[global] += "snd_midivolume=0.5\nsnd_musicvolume=0.25\nsnd_sfxvolume=0.5\nGamma=1\n";

    qsizetype size = 0;
    for (int line = 0; size < targetSize; ++line) {
        const int s = line % int(sections.size());
        const QByteArray text = "some_port_variable_" + QByteArray::number(line) + "=value of line "
                                + QByteArray::number(line) + "\n";
        bodies[s] += text;
        size += text.size();
    }
    QByteArray file;
    for (int s = 0; s < sections.size(); ++s) file += '[' + sections[s] + "]\n" + bodies[s] + '\n';
    return file;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString path = dir.filePath("zdoom.ini");
    const QByteArray content = generatedFile(200 * 1024);
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(content) != content.size()) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
    }

    // The player's own configuration folder stays out of it.
    qputenv("HOME", dir.path().toLocal8Bit());
    qunsetenv("XDG_CONFIG_HOME");
    SilentMessages messages;
    IniStore store(messages);
    IniEditorController editor(dir.path(), QStringLiteral("zdoom"), store, messages);
    editor.open();

    constexpr int kRuns = 50;
    std::vector<double> reads;
    std::vector<double> saves;
    QElapsedTimer timer;
    for (int run = 0; run < kRuns; ++run) {
        timer.start();
        editor.GetSettings();
        reads.push_back(timer.nsecsElapsed() / 1e6);
        // A changed value, so that every save really replaces the file.
        editor.setValue(IniControl::hsGamma, 10 + run % 20);
        timer.start();
        if (!editor.SaveSettings()) return 1;
        saves.push_back(timer.nsecsElapsed() / 1e6);
    }

    std::vector<double> totals(kRuns);
    for (int i = 0; i < kRuns; ++i) totals[i] = reads[i] + saves[i];
    std::printf("configuration file: %lld bytes, 60 sections, %d runs\n", qlonglong(content.size()), kRuns);
    std::printf("GetSettings:               median %.3f ms\n", median(reads));
    std::printf("SaveSettings:              median %.3f ms\n", median(saves));
    std::printf("GetSettings + SaveSettings: median %.3f ms, best %.3f ms\n", median(totals),
                *std::min_element(totals.begin(), totals.end()));
    std::printf("bytes written per save:    %lld\n", qlonglong(QFileInfo(path).size()));
    return messages.shown == 0 ? 0 : 1;
}
