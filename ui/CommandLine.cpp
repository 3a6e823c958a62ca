#include "ui/CommandLine.h"

#include "core/Version.h"
#include "ui/StartupFile.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace kinemo {

namespace {

constexpr int kUsageError = 2;
constexpr int kNoDisplay = 1;
constexpr const char* kNoSharedMemory = "QT_XCB_NO_MITSHM";

void print(std::FILE* stream, const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fflush(stream);
}

void sayThereIsNoDisplay() {
    const auto value = [](const char* name) {
        return qEnvironmentVariableIsSet(name)
                   ? QStringLiteral("%1='%2'").arg(QLatin1String(name), qEnvironmentVariable(name))
                   : QStringLiteral("%1 unset").arg(QLatin1String(name));
    };
    print(stderr, QStringLiteral("kinemo: needs a graphical display and cannot reach one (%1, %2)\n")
                      .arg(value("DISPLAY"), value("WAYLAND_DISPLAY")));
}

// While the application connects to the display, the platform plugin's messages are
// held back: a failure there ends in a fatal message, which becomes the one line
// above; after a good start they go out as usual.
struct HeldMessage {
    QtMsgType type;
    const char* file;  // the context's strings are literals of Qt's
    int line;
    const char* function;
    const char* category;
    QString text;
};
std::vector<HeldMessage> heldMessages;

void holdWhileConnecting(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtFatalMsg) {
        sayThereIsNoDisplay();
        // Qt would abort after this handler; nothing is open yet that needs closing.
        std::_Exit(kNoDisplay);
    }
    heldMessages.push_back({type, context.file, context.line, context.function, context.category, text});
}

// The parser works on decoded text, and a name that is not UTF-8 (Shift_JIS from a
// Windows ZIP) decodes with replacement characters that open() would not find: the
// file's bytes are taken from the argument that decodes to it. Another argument that
// decodes alike would be a second FILE, which is refused, or an option, all of which
// are plain ASCII and so their own bytes.
std::string bytesOf(const QString& file, const std::vector<std::string>& arguments) {
    for (std::size_t i = 1; i < arguments.size(); ++i)
        if (QFile::decodeName(QByteArray::fromStdString(arguments[i])) == file) return arguments[i];
    return QFile::encodeName(file).toStdString();
}

}  // namespace

ParsedCommandLine parseCommandLine(const std::vector<std::string>& rawArguments) {
    QStringList arguments;
    for (const std::string& argument : rawArguments)
        arguments << QFile::decodeName(QByteArray::fromStdString(argument));
    QCoreApplication::setApplicationName(QString::fromUtf8(kAppTitle));
    QCoreApplication::setApplicationVersion(QString::fromStdString(versionText()));
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Shows the accelerometer of a Wii Remote as a live trace, records and calibrates runs, "
                       "and saves them as data files."));
    // Not addHelpOption(): its --help-all lists Qt's own options, which are not taken here.
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Displays this help."));
    parser.addOption(help);
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption simulate(QStringLiteral("simulate"),
                                      QStringLiteral("Use a simulated Wii Remote instead of a real one."));
    parser.addOption(simulate);
    const QCommandLineOption noLog(QStringLiteral("no-log"),
                                   QStringLiteral("Write no day log (normally into $XDG_STATE_HOME/kinemo/)."));
    parser.addOption(noLog);
    addStartupFileArgument(parser);

    // With no application object yet the parser cannot know the program's name.
    const QString program = arguments.isEmpty() ? QStringLiteral("kinemo") : QFileInfo(arguments.first()).fileName();
    const QString usage = parser.helpText().replace(QStringLiteral("<executable_name>"), program);

    ParsedCommandLine result;
    const bool parsed = parser.parse(arguments);
    const QStringList files = parser.positionalArguments();
    if (!parsed || files.size() > 1) {
        const QString problem = !parsed
                                    ? parser.errorText()
                                    : QStringLiteral("Only one FILE can be opened; unexpected '%1'.").arg(files.at(1));
        print(stderr, QStringLiteral("%1: %2\n\n%3").arg(program, problem, usage));
        result.exitStatus = kUsageError;
    } else if (parser.isSet(help)) {
        print(stdout, usage);
        result.exitStatus = 0;
    } else if (parser.isSet(version)) {
        print(stdout, QStringLiteral("%1 %2\n").arg(QCoreApplication::applicationName(),
                                                    QCoreApplication::applicationVersion()));
        result.exitStatus = 0;
    }
    result.options.simulate = parser.isSet(simulate);
    result.options.writeLog = !parser.isSet(noLog);
    if (!files.isEmpty()) result.options.file = bytesOf(files.first(), rawArguments);
    return result;
}

std::unique_ptr<QApplication> connectToDisplay(int& argc, char** argv) {
    // A platform chosen by name (offscreen, vnc, ...) needs neither variable.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        sayThereIsNoDisplay();
        return nullptr;
    }
    // On X, Qt hands its window image to the server through shared memory and, before
    // it paints again over pixels it has just handed over, waits for the server to
    // answer a round trip. The trace and the readouts are painted over at every frame,
    // so that wait came 50 times a second and cost the program and the X server more
    // than sending the few changed pixels through the socket. A user's own setting of
    // the variable stands; ours ends with the connection, so nothing started from here
    // inherits it.
    const bool setHere = !qEnvironmentVariableIsSet(kNoSharedMemory);
    if (setHere) qputenv(kNoSharedMemory, "1");
    const QtMessageHandler previous = qInstallMessageHandler(holdWhileConnecting);
    auto app = std::make_unique<QApplication>(argc, argv);
    qInstallMessageHandler(previous);
    if (setHere) qunsetenv(kNoSharedMemory);
    for (const HeldMessage& m : heldMessages)
        qt_message_output(m.type, QMessageLogContext(m.file, m.line, m.function, m.category), m.text);
    heldMessages.clear();
    return app;
}

}  // namespace kinemo
