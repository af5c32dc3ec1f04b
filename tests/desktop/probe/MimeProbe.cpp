// Prints the MIME type Qt's database gives each file named on the command line, one
// per line, so tests can check a database built in a scratch XDG_DATA_DIRS.
#include <QCoreApplication>
#include <QMimeDatabase>
#include <QTextStream>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    const QMimeDatabase db;
    for (const QString& path : QCoreApplication::arguments().mid(1)) {
        out << db.mimeTypeForFile(path).name() << '\n';
    }
    return 0;
}
