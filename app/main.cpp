// Meshcraft: the desktop program.
#include <QApplication>

#include "Main_F.h"
#include "ProgramWindows.h"
#include "ProjectInfo.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(mc::kProgramName));
    QApplication::setApplicationVersion(QStringLiteral("%1.%2").arg(mc::kVersionMajor).arg(mc::kVersionMinor));

    std::unique_ptr<mc::TMainForm> main = mc::CreateProgramWindows();
    main->show();
    const int status = QApplication::exec();
    main.reset();
    return status;
}
