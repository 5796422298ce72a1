// Measures how the viewer follows a file that another process writes: the
// latency from each write to the picture that shows it, the viewer's CPU time,
// and, side by side, what opening the final file again costs.
//
//   qornv_follow_driver FILE INITIAL_LINES LINES_PER_WRITE INTERVAL_MS SECONDS [poll] [short]
//                       [source=PATH] [jitter] [idle=SECONDS]
//
// The viewer runs in this process on Qt's offscreen platform, the writer in a
// child process. A write counts as shown at the first paint of the drawing
// area once the viewer's sequence holds its lines, measured from the moment
// the writer's call returned. "poll" ignores the file
// system's change notifications, as on a network mount; "short" writes 38-byte
// lines (ShortLineText) instead of the detector's. "source=PATH" writes the
// file under PATH while the viewer opens FILE, as when FILE is PATH seen
// through a FUSE or network mount and the writer works on the server's side.
// "jitter" delays each write by a pseudo-random part of a quarter of the interval, so
// that writes after a quiet spell fall at every point of the viewer's polling
// period rather than at a few. "idle=SECONDS" first measures the viewer's CPU
// while nothing is written. Prints one line of figures per measure. SECONDS 0
// only writes the file of INITIAL_LINES lines.

#include "BenchmarkData.h"
#include "Startup.h"
#include "Viewer.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QEventLoop>
#include <QFile>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

std::int64_t NowNs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

bool WriteAll(int file, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t written = write(file, text.data() + done, text.size() - done);
        if (written <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(written);
    }
    return true;
}

bool shortLines = false;

std::string LineText(std::size_t lines, std::uint32_t seed) {
    return shortLines ? ShortLineText(lines, seed) : DetectorFileText(lines, seed);
}

void WriteInitial(const char* path, std::size_t lines) {
    const int file = open(path, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    constexpr std::size_t piece = 1'000'000;
    for (std::size_t done = 0; file >= 0 && done < lines; done += piece) {
        if (!WriteAll(file,
                      LineText(std::min(piece, lines - done), static_cast<std::uint32_t>(done)))) {
            std::perror("initial file");
            std::exit(2);
        }
    }
    if (file < 0 || close(file) != 0) {
        std::perror("initial file");
        std::exit(2);
    }
}

struct Write {
    std::int64_t atNs;
    std::size_t steps; // steps in the file once written
};

bool jitter = false;

// Up to a quarter of the interval, the same for every run.
std::int64_t JitterNs(int write, int intervalMs) {
    if (!jitter) {
        return 0;
    }
    const std::uint32_t hash = static_cast<std::uint32_t>(write + 1) * 2654435761u;
    return static_cast<std::int64_t>(hash % 1000) * intervalMs * 1'000'000 / 4000;
}

// The child: appends `linesPerWrite` lines every `intervalMs` for `seconds`,
// then reports the time of each write through `report`.
[[noreturn]] void RunWriter(const char* path, std::size_t initial, std::size_t linesPerWrite,
                            int intervalMs, int seconds, int report) {
    const std::string block = LineText(linesPerWrite, 17);
    const int file = open(path, O_WRONLY | O_APPEND);
    std::vector<Write> writes;
    const std::int64_t start = NowNs();
    const int count = seconds * 1000 / intervalMs;
    for (int i = 0; i < count && file >= 0; ++i) {
        const std::int64_t due =
            start + static_cast<std::int64_t>(i) * intervalMs * 1'000'000 + JitterNs(i, intervalMs);
        const timespec at{static_cast<time_t>(due / 1'000'000'000),
                          static_cast<long>(due % 1'000'000'000)};
        clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &at, nullptr);
        if (!WriteAll(file, block)) {
            _exit(3);
        }
        writes.push_back({NowNs(), initial + (static_cast<std::size_t>(i) + 1) * linesPerWrite});
    }
    const auto bytes = static_cast<ssize_t>(writes.size() * sizeof(Write));
    _exit(file >= 0 && write(report, writes.data(), static_cast<std::size_t>(bytes)) == bytes ? 0
                                                                                              : 4);
}

struct Paint {
    std::int64_t atNs;
    std::size_t steps;
};

class PaintProbe : public QObject {
  public:
    PaintProbe(Viewer& viewer, std::vector<Paint>& paints) : viewer(viewer), paints(paints) {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            paints.push_back({NowNs(), viewer.State().sequence.stepList.Size()});
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    Viewer& viewer;
    std::vector<Paint>& paints;
};

double Percentile(std::vector<double> values, double share) {
    if (values.empty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    return values[static_cast<std::size_t>(share * static_cast<double>(values.size() - 1))];
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc < 6) {
        std::fprintf(stderr,
                     "usage: %s FILE INITIAL_LINES LINES_PER_WRITE INTERVAL_MS SECONDS [poll] "
                     "[short]\n",
                     argv[0]);
        return 2;
    }
    const char* path = argv[1];
    const std::size_t initial = std::strtoull(argv[2], nullptr, 10);
    const std::size_t linesPerWrite = std::strtoull(argv[3], nullptr, 10);
    const int intervalMs = std::atoi(argv[4]);
    const int seconds = std::atoi(argv[5]);
    const std::vector<std::string> options(argv + 6, argv + argc);
    const bool pollOnly = std::find(options.begin(), options.end(), "poll") != options.end();
    shortLines = std::find(options.begin(), options.end(), "short") != options.end();
    jitter = std::find(options.begin(), options.end(), "jitter") != options.end();
    std::string source = path;
    int idleSeconds = 0;
    for (const std::string& option : options) {
        if (option.starts_with("source=")) {
            source = option.substr(7);
        } else if (option.starts_with("idle=")) {
            idleSeconds = std::atoi(option.c_str() + 5);
        }
    }
    WriteInitial(source.c_str(), initial);
    if (seconds <= 0) {
        return 0; // the file alone, for a viewer started elsewhere
    }

    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    Viewer viewer([](int) {},
                  pollOnly ? FileWatch::Notifications::Ignored : FileWatch::Notifications::Used);
    viewer.Start();
    QElapsedTimer opening;
    opening.start();
    viewer.OnOpenFile(QFile::decodeName(path));
    const double openMs = static_cast<double>(opening.nsecsElapsed()) / 1e6;
    // The window's first exposes and its size settling redraw the whole view;
    // that belongs to opening, not to following.
    QEventLoop settling;
    QTimer::singleShot(500, &settling, &QEventLoop::quit);
    settling.exec();
    if (viewer.State().sequence.stepList.Size() != initial) {
        std::fprintf(stderr, "opened %zu steps, expected %zu\n",
                     viewer.State().sequence.stepList.Size(), initial);
        return 1;
    }
    if (idleSeconds > 0) {
        // Nothing changes: what remains is the look at the file twice a second.
        const double idleCpuBefore = CpuSeconds();
        const std::int64_t idleStart = NowNs();
        QEventLoop idling;
        QTimer::singleShot(idleSeconds * 1000, &idling, &QEventLoop::quit);
        idling.exec();
        const double idleCpu = CpuSeconds() - idleCpuBefore;
        const double idleWallS = static_cast<double>(NowNs() - idleStart) / 1e9;
        std::printf("viewer CPU while idle: %.4f s in %.1f s = %.3f %% of one core, %.0f us a "
                    "look (the wake-up included) at %d looks a second\n",
                    idleCpu, idleWallS, 100 * idleCpu / idleWallS,
                    idleCpu * 1e6 / (idleWallS * 1000 / FileWatch::pollIntervalMs),
                    1000 / FileWatch::pollIntervalMs);
    }
    std::vector<Paint> paints;
    PaintProbe probe(viewer, paints);
    viewer.Window().DrawingWidget()->installEventFilter(&probe);

    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) {
        std::perror("pipe");
        return 1;
    }
    const double cpuBefore = CpuSeconds();
    const std::int64_t startNs = NowNs();
    const pid_t writer = fork();
    if (writer == 0) {
        close(pipeEnds[0]);
        RunWriter(source.c_str(), initial, linesPerWrite, intervalMs, seconds, pipeEnds[1]);
    }
    close(pipeEnds[1]);
    const std::size_t finalSteps =
        initial + static_cast<std::size_t>(seconds * 1000 / intervalMs) * linesPerWrite;
    // Until the last write is shown, or two seconds past the writer's end.
    const std::int64_t lastDueNs =
        static_cast<std::int64_t>(seconds) * 1'000'000'000 + (jitter ? intervalMs * 250'000LL : 0);
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, [&] {
        const bool shown = !paints.empty() && paints.back().steps >= finalSteps;
        if (shown || NowNs() - startNs > lastDueNs + 2'000'000'000) {
            QCoreApplication::quit();
        }
    });
    check.start(200);
    QApplication::exec();
    const double cpu = CpuSeconds() - cpuBefore;
    const double wallS = static_cast<double>(NowNs() - startNs) / 1e9;

    std::vector<Write> writes(static_cast<std::size_t>(seconds * 1000 / intervalMs));
    const auto wanted = static_cast<ssize_t>(writes.size() * sizeof(Write));
    ssize_t got = 0;
    while (got < wanted) {
        const ssize_t part = read(pipeEnds[0], reinterpret_cast<char*>(writes.data()) + got,
                                  static_cast<std::size_t>(wanted - got));
        if (part <= 0) {
            break;
        }
        got += part;
    }
    int status = 0;
    waitpid(writer, &status, 0);
    if (got != wanted || status != 0) {
        std::fprintf(stderr, "the writer failed (status %d)\n", status);
        return 1;
    }

    std::vector<double> latencies;
    double lastLatency = -1;
    for (const Write& write : writes) {
        // A write of megabytes takes milliseconds, and the viewer may read and
        // show all of it before the writer's call returns: that counts as 0.
        const auto shown = std::find_if(paints.begin(), paints.end(), [&](const Paint& paint) {
            return paint.steps >= write.steps;
        });
        if (shown == paints.end()) {
            std::printf("write of %zu steps never shown\n", write.steps);
            return 1;
        }
        lastLatency =
            static_cast<double>(std::max<std::int64_t>(shown->atNs - write.atNs, 0)) / 1e6;
        latencies.push_back(lastLatency);
    }
    const double followedS =
        static_cast<double>(writes.back().atNs - startNs) / 1e9 + lastLatency / 1e3;
    QElapsedTimer reopening;
    reopening.start();
    viewer.OnOpenFile(QFile::decodeName(path));
    const double reopenMs = static_cast<double>(reopening.nsecsElapsed()) / 1e6;

    std::printf("steps: %zu at start, %zu at end; %zu writes of %zu lines every %d ms%s%s\n",
                initial, finalSteps, writes.size(), linesPerWrite, intervalMs,
                jitter ? " (+ up to a quarter of it)" : "",
                pollOnly ? " (no notifications: polling)" : "");
    std::printf("latency write to picture: median %.1f ms, 95%% %.1f ms, max %.1f ms; last write "
                "shown after %.1f ms\n",
                Percentile(latencies, 0.5), Percentile(latencies, 0.95), Percentile(latencies, 1.0),
                lastLatency);
    std::printf("view updates painted: %zu in %.1f s (%.1f per second)\n", paints.size(), followedS,
                static_cast<double>(paints.size()) / followedS);
    std::printf("viewer CPU while following: %.3f s in %.1f s = %.1f %% of one core\n", cpu, wallS,
                100 * cpu / wallS);
    // Reopening in place of following, as often as the view is updated.
    const double reopensPerSecond = std::min(1000.0 / intervalMs, 20.0);
    std::printf("opening the file: %.0f ms at start, %.0f ms at the end; reopening %.0f times a "
                "second instead of following would take %.0f %% of one core\n",
                openMs, reopenMs, reopensPerSecond, reopenMs * reopensPerSecond / 10);
    return 0;
}
