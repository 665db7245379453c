// Meshcraft: the desktop program. "meshcraft [FILE]" opens FILE (a model
// file, or a game path inside the archives) once the start-up is done.
#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>

#include "Main_F.h"
#include "ProgramWindows.h"
#include "ProjectInfo.h"
#include "QtText.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(mc::kProgramName));
    QApplication::setApplicationVersion(QStringLiteral("%1.%2").arg(mc::kVersionMajor).arg(mc::kVersionMinor));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Views, edits and converts Operation Flashpoint models and the game data around them."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("FILE"),
                                 QStringLiteral("A model to open: a .p3d file, or a game path inside the game's "
                                                "archives such as data3d\\tank.p3d."),
                                 QStringLiteral("[FILE]"));
    parser.process(app);

    auto program = std::make_unique<mc::TProgram>();
    mc::TMainForm& main = program->MainWindow();
    const QStringList files = parser.positionalArguments();
    if (!files.isEmpty()) {
        QString file = files.first();
        // A file on disk by its full path; a game path keeps its backslashes.
        if (QFileInfo::exists(file)) file = QDir::toNativeSeparators(QFileInfo(file).absoluteFilePath());
        main.SetStartupFile(mc::FromQString(file));
    }
    main.show();
    const int status = QApplication::exec();
    program.reset();
    return status;
}
