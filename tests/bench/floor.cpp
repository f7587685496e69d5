// The floor for start-up time: a bare Qt WebEngine view on a disk profile that
// loads one address, maximised, and nothing else.
#include <QApplication>
#include <QWebEngineProfile>
#include <QWebEngineView>

int main(int argc, char** argv)
{
    if (argc < 3)
        return 2;
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    QWebEngineProfile profile(QStringLiteral("floor"));
    profile.setPersistentStoragePath(QString::fromLocal8Bit(argv[2]));
    profile.setCachePath(QString::fromLocal8Bit(argv[2]));
    QWebEngineView view;
    view.setPage(new QWebEnginePage(&profile, &view));
    view.showMaximized();
    view.load(QUrl(QString::fromLocal8Bit(argv[1])));
    return app.exec();
}
