#include "DriveTable.h"
#include "LocaleClock.h"
#include "OrvalinApplication.h"
#include "PosixFileService.h"
#include "TForm1.h"

#include <QIcon>

int main(int argc, char** argv) {
    OrvalinApplication application(argc, argv);
    QIcon icon(":/icons/orvalin.png");
    icon.addFile(":/icons/orvalin-48.png");
    application.setWindowIcon(icon);
    LocaleClock clock;
    application.setLocaleChangeHandler([&clock] { clock.reread(); });
    PosixFileService files(DriveTable::readSystem());
    TForm1 Form1(files.table(), files, [&clock] { return clock.timeText(); });
    Form1.show();
    return OrvalinApplication::exec();
}
