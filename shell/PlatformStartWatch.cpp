#include "PlatformStartWatch.h"

#include "DisplayProblem.h"

#include <QString>
#include <QtGlobal>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Held {
    QtMsgType type;
    std::string category;
    QString text;
};

bool starting = false;
QtMessageHandler previous = nullptr;
std::vector<Held> held;

std::string StartFailureMessageFor(const QString& qtReason) {
    return StartFailureMessage(std::getenv("DISPLAY"), std::getenv("WAYLAND_DISPLAY"),
                               qtReason.toStdString());
}

void Handle(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtFatalMsg) {
        std::fprintf(stderr, "%s\n", StartFailureMessageFor(text).c_str());
        std::_Exit(EXIT_FAILURE);
    }
    held.push_back({type, context.category != nullptr ? context.category : "", text});
}

void ExitDuringStart() {
    if (!starting) {
        return;
    }
    for (const Held& message : held) {
        std::fprintf(stderr, "%s\n", qPrintable(message.text));
    }
    std::fprintf(stderr, "%s\n",
                 StartFailureMessageFor(held.empty() ? QString() : held.back().text).c_str());
}

} // namespace

PlatformStartWatch::PlatformStartWatch() {
    previous = qInstallMessageHandler(&Handle);
    starting = true;
    static const bool registered = std::atexit(&ExitDuringStart) == 0;
    (void)registered;
}

PlatformStartWatch::~PlatformStartWatch() {
    starting = false;
    qInstallMessageHandler(previous);
    for (const Held& message : held) {
        const QMessageLogContext context(nullptr, 0, nullptr, message.category.c_str());
        qt_message_output(message.type, context, message.text);
    }
    held.clear();
}
