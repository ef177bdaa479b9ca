// What one more chat line costs once the history is full: 30,000 lines go into a shown
// history (its cap is 20,000), each in its own turn of the event loop as relayed lines come
// in; the time of the last 2,000 is printed beside the first 2,000, measured in the same run.
// A history that trims its oldest line cheaply keeps the ratio near 1.

#include "client/chathistory.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>

#include <cstdio>
#include <vector>

namespace {

constexpr int Lines = 30000;
constexpr int Slice = 2000;

// Milliseconds that each slice of Slice lines took, in order.
std::vector<double> appendLines(ChatHistory &history)
{
    std::vector<double> slices;
    QElapsedTimer clock;
    clock.start();
    for (int i = 1; i <= Lines; ++i) {
        history.addlinetochat(QStringLiteral("Player%1 chats: line %2 of the flood, long enough "
                                             "to wrap in the narrow history")
                                  .arg(i % 10)
                                  .arg(i),
                              quint32(i * 2654435761u) & 0xFFFFFF);
        QCoreApplication::processEvents();
        if (i % Slice == 0) {
            slices.push_back(double(clock.nsecsElapsed()) / 1e6);
            clock.start();
        }
    }
    return slices;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);

    ChatHistory following;
    following.resize(300, 194);
    following.show();
    const std::vector<double> slices = appendLines(following);

    // The reader scrolled up and asked the view to stay where it is.
    ChatHistory reading;
    reading.resize(300, 194);
    reading.show();
    reading.setScrollOff(true);
    for (int i = 0; i < 100; ++i)
        reading.addlinetochat(QStringLiteral("early: %1").arg(i), 0);
    reading.verticalScrollBar()->setValue(reading.verticalScrollBar()->maximum() / 2);
    const std::vector<double> readingSlices = appendLines(reading);

    const auto report = [](const char *what, const std::vector<double> &s) {
        const double first = s.front();
        const double last = s.back();
        std::printf("%-28s first %d lines %8.1f ms (%6.3f ms a line)  last %d lines %8.1f ms "
                    "(%6.3f ms a line)   x%.2f\n",
                    what, Slice, first, first / Slice, Slice, last, last / Slice,
                    first > 0 ? last / first : 0.0);
    };
    std::printf("%d lines into a history capped at %d lines; the ratio should stay at or below "
                "x1.5\n",
                Lines, ChatHistory::MaxLines);
    report("following the newest line", slices);
    report("Scroll Chat Off, scrolled up", readingSlices);
    std::printf("slices of %d lines (ms):", Slice);
    for (double s : slices)
        std::printf(" %.0f", s);
    std::printf("\n");
    return 0;
}
