// SPDX-License-Identifier: GPL-3.0-or-later
// Another program rewrites General.txt in place, slowly, while the main window is open: the
// file is emptied, written in 4 KiB pieces 100 ms apart, then all but its last 27 bytes
// ("cars.txt ... // Car list file" cut after "cars"), a pause, and the rest. Each of RUNS
// writes a new value into line 58. Meanwhile the window is looked at every few
// milliseconds:
//
//     slow_writes WORKING_FOLDER [RUNS] [PAUSE_MS] [UNFINISHED_MS]
//
// and it prints how often the window's tabs held a file that was not whole (a cut read),
// how often during the pause a Save would have replaced the file without asking (the
// window's stamp matched the cut file), how many writes the window never read, and how
// long after each write ended the tabs showed it. UNFINISHED_MS sets how long a file that
// lost its final line break must stay the same to be read (5000 as in the program).
// Run by scripts/slow-writes.sh; never by ctest.

#include "documents/disk_stamps.h"
#include "documents/game_file_reading.h"
#include "documents/interfaces.h"
#include "documents/text_buffer.h"
#include "file_watch.h"
#include "general.h"
#include "questions.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

namespace {

struct Quiet : Messages, Questions {
    void error(const QString& text) override { say(text); }
    void warning(const QString& text) override { say(text); }
    void information(const QString& text) override { say(text); }
    void plain(const QString& text) override { say(text); }
    void report(const QString& text) override { say(text); }
    int choose(const QString& text, const QStringList&, int preferred) override
    {
        say(text);
        return preferred;
    }
    static void say(const QString& text) { std::fprintf(stderr, "said: %s\n", qPrintable(text)); }
};

// The writer: in place, in pieces, pausing inside the last line.
constexpr const char* Writer =
    "f=$0; new=$1; pause=$2; size=$(wc -c < \"$new\"); : > \"$f\"; i=0\n"
    "while [ $((i * 4096)) -lt $((size - 4096)) ]; do\n"
    "  dd if=\"$new\" of=\"$f\" bs=4096 skip=$i seek=$i count=1 conv=notrunc status=none\n"
    "  i=$((i + 1)); sleep 0.1\n"
    "done\n"
    "head -c $((size - 27)) \"$new\" | dd of=\"$f\" conv=notrunc status=none\n"
    "sleep \"$pause\"\n"
    "dd if=\"$new\" of=\"$f\" bs=1 skip=$((size - 27)) seek=$((size - 27)) conv=notrunc "
    "status=none\n";

struct Figures {
    int cutReads = 0;
    int unaskedSaves = 0; // looks during the pause at which a Save would not have asked
    int neverRead = 0;
    std::vector<qint64> latencies; // ms from the writer's end to the tabs showing the file
};

void Wait(int milliseconds)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < milliseconds) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 2);
        QThread::msleep(2);
    }
}

// One slow write of `bytes`; the tabs held `before` until then.
void RunOnce(TForm1& form, const QString& newPath, const std::string& bytes, double pause,
             Figures& figures)
{
    AppState& state = form.state();
    const std::vector<std::string> whole = SplitLines(bytes);
    const std::vector<std::string> before = state.GeneralText.lines();
    QProcess writer;
    writer.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), QLatin1String(Writer),
                                             state.GeneralPath, newPath, QString::number(pause)});
    writer.waitForStarted();
    bool cut = false;
    bool unasked = false;
    while (writer.state() != QProcess::NotRunning) {
        Wait(5);
        const std::vector<std::string>& shown = state.GeneralText.lines();
        cut = cut || (shown != before && shown != whole);
        std::optional<FileStamp>& stamp = StampOf(state, TuningFile::General);
        if (QFileInfo(state.GeneralPath).size() == qint64(bytes.size()) - 27 && stamp)
            unasked = unasked || !ChangedSince(*stamp, state.GeneralPath);
    }
    QElapsedTimer sinceEnd;
    sinceEnd.start();
    while (state.GeneralText.lines() != whole && sinceEnd.elapsed() < 20000)
        Wait(2);
    figures.cutReads += cut;
    figures.unaskedSaves += unasked;
    if (state.GeneralText.lines() == whole)
        figures.latencies.push_back(sinceEnd.elapsed());
    else
        ++figures.neverRead;
}

} // namespace

int main(int argc, char* argv[])
{
    Q_INIT_RESOURCE(tunedeck);
    QApplication application(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s WORKING_FOLDER [RUNS] [PAUSE_MS] [UNFINISHED_MS]\n",
                     argv[0]);
        return 2;
    }
    const int runs = argc > 2 ? std::atoi(argv[2]) : 100;
    const double pause = (argc > 3 ? std::atoi(argv[3]) : 2000) / 1000.0;
    Quiet quiet;
    TForm1Services services;
    services.messages = &quiet;
    services.questions = &quiet;
    services.workDir = QString::fromLocal8Bit(argv[1]);
    TForm1 form(services);
    form.show();
    if (argc > 4)
        form.findChild<FileWatch*>()->setUnfinishedDelay(std::atoi(argv[4]));
    const QString newPath = services.workDir + QStringLiteral("/new General.txt");
    std::string bytes = JoinLines(form.state().MiscMemo.lines());
    Figures figures;
    for (int run = 0; run < runs; ++run) {
        std::vector<std::string> lines = SplitLines(bytes);
        lines[58] = std::to_string(100 + run) + ",9,7\t\t\t\t\t // Credits";
        bytes = JoinLines(lines);
        std::ofstream(newPath.toLocal8Bit().constData(), std::ios::binary) << bytes;
        RunOnce(form, newPath, bytes, pause, figures);
    }
    std::sort(figures.latencies.begin(), figures.latencies.end());
    const auto at = [&](double share) {
        return figures.latencies.empty()
                   ? -1LL
                   : static_cast<long long>(
                         figures.latencies[size_t(share * double(figures.latencies.size() - 1))]);
    };
    std::printf("runs %d, pause %.1f s: cut reads %d, a Save unasked possible in %d, never read "
                "%d; shown after the end in ms: median %lld, 90%% %lld, max %lld\n",
                runs, pause, figures.cutReads, figures.unaskedSaves, figures.neverRead, at(0.5),
                at(0.9), at(1.0));
    return figures.cutReads + figures.unaskedSaves + figures.neverRead > 0 ? 1 : 0;
}
