#pragma once

#include <QString>
#include <QStringList>

// The program's command line. Its own options are --help and --version, each
// alone; Qt's options (-platform, -display, -style, -reverse, -geometry and
// the others QApplication reads, with their values) may come with them and
// are left to Qt. Anything else is refused.
namespace CommandLine {

enum class Request { Start, Help, Version, Refuse };

struct Reading
{
    Request request = Request::Start;
    // Why the command line is refused: one line, for a launcher's log too.
    QString refusal;
    // -platform or -display says where the windows go.
    bool namesDisplay = false;
};

// The arguments after the program's name.
Reading read(const QStringList &arguments);

} // namespace CommandLine
